# System facts and the process environment: one file per system.
target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/system.h)
if(WIN32)
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/system_win32.cpp)
else()
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/system_posix.cpp)
endif()
