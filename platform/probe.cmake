# Serial port probe: /sys/class/tty and open/flock on Linux, "\\.\COMn" on Windows.
target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/port_probe.cpp)
if(WIN32)
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/port_probe_win32.cpp)
else()
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/port_probe_linux.cpp)
endif()
