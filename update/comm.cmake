# Serial port component (core, no Qt).
set(_comm_sources
    ${CMAKE_CURRENT_LIST_DIR}/comm_types.h
    ${CMAKE_CURRENT_LIST_DIR}/comm_objs.h
    ${CMAKE_CURRENT_LIST_DIR}/comm_objs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/comm_event_chars.h
    ${CMAKE_CURRENT_LIST_DIR}/comm_event_chars.cpp
    ${CMAKE_CURRENT_LIST_DIR}/comm_event_thread.h
    ${CMAKE_CURRENT_LIST_DIR}/comm_event_thread.cpp
    ${CMAKE_CURRENT_LIST_DIR}/comm.h
    ${CMAKE_CURRENT_LIST_DIR}/comm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/port_check.h
    ${CMAKE_CURRENT_LIST_DIR}/port_check.cpp)
target_sources(strovane_update PRIVATE ${_comm_sources})
# The address-sanitised stress test compiles its own copy of these.
set_property(GLOBAL APPEND PROPERTY STROVANE_COMM_SOURCES ${_comm_sources})
unset(_comm_sources)
