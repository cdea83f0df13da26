# Serial port component (core, no Qt).
set(_serial_port_sources
    ${CMAKE_CURRENT_LIST_DIR}/serial_types.h
    ${CMAKE_CURRENT_LIST_DIR}/sync_objects.h
    ${CMAKE_CURRENT_LIST_DIR}/sync_objects.cpp
    ${CMAKE_CURRENT_LIST_DIR}/serial_event_chars.h
    ${CMAKE_CURRENT_LIST_DIR}/serial_event_chars.cpp
    ${CMAKE_CURRENT_LIST_DIR}/serial_event_thread.h
    ${CMAKE_CURRENT_LIST_DIR}/serial_event_thread.cpp
    ${CMAKE_CURRENT_LIST_DIR}/serial_port.h
    ${CMAKE_CURRENT_LIST_DIR}/serial_port.cpp
    ${CMAKE_CURRENT_LIST_DIR}/port_check.h
    ${CMAKE_CURRENT_LIST_DIR}/port_check.cpp)
target_sources(strovane_update PRIVATE ${_serial_port_sources})
# The address-sanitised stress test compiles its own copy of these.
set_property(GLOBAL APPEND PROPERTY STROVANE_SERIAL_PORT_SOURCES ${_serial_port_sources})
unset(_serial_port_sources)
