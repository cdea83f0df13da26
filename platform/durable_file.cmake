# Durable saves: new file flushed, renamed over its target, folder flushed.
target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/durable_file.h)
if(WIN32)
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/durable_file_win32.cpp)
else()
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/durable_file_posix.cpp)
endif()
