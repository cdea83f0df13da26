# Updater command line and launch-and-wait (core, no Qt).
target_sources(strovane_update PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/updater_command.cpp
    ${CMAKE_CURRENT_LIST_DIR}/launch.cpp)
