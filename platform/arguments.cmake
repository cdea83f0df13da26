# The program's arguments as UTF-8: from the UTF-16 command line on Windows (shell32), argv elsewhere.
target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/arguments.h)
if(WIN32)
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/arguments_win32.cpp)
    target_link_libraries(strovane_platform PUBLIC shell32)
else()
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/arguments_posix.cpp)
endif()
