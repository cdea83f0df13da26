# Millisecond clock: GetTickCount on Windows, CLOCK_MONOTONIC elsewhere.
if(WIN32)
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/clock_win32.cpp)
else()
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/clock_posix.cpp)
endif()
