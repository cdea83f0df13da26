# Paths as UTF-8 text: UTF-16 conversion on Windows, bytes unchanged elsewhere.
target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/path_text.h)
if(WIN32)
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/path_text_win32.cpp)
else()
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/path_text_posix.cpp)
endif()
