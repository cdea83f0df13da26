# Process start and wait: posix_spawn elsewhere, ShellExecuteExW and the "HandleCed" event on Windows.
target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/process.cpp)
if(WIN32)
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/process_win32.cpp)
    target_link_libraries(strovane_platform PUBLIC shell32)
else()
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/process_posix.cpp)
endif()
