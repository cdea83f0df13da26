# Serial devices: the interface, the backend of this platform and the scripted fake for tests.
set(_serial_sources
    ${CMAKE_CURRENT_LIST_DIR}/serial_device.h
    ${CMAKE_CURRENT_LIST_DIR}/serial_device_fake.h
    ${CMAKE_CURRENT_LIST_DIR}/serial_device_fake.cpp)
if(WIN32)
    list(APPEND _serial_sources ${CMAKE_CURRENT_LIST_DIR}/serial_device_win32.cpp)
else()
    list(APPEND _serial_sources
        ${CMAKE_CURRENT_LIST_DIR}/serial_device_posix.cpp
        ${CMAKE_CURRENT_LIST_DIR}/serial_posix_speed.h
        ${CMAKE_CURRENT_LIST_DIR}/serial_posix_speed.cpp
        ${CMAKE_CURRENT_LIST_DIR}/serial_posix_termios.h
        ${CMAKE_CURRENT_LIST_DIR}/serial_posix_termios.cpp)
endif()
target_sources(strovane_platform PRIVATE ${_serial_sources})
# The address-sanitised stress test compiles its own copy of the serial sources.
set_property(GLOBAL APPEND PROPERTY STROVANE_SERIAL_SOURCES ${_serial_sources})
unset(_serial_sources)
