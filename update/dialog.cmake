# The update dialog and the progress window shown while the updater runs (Qt).
qt_add_library(strovane_update_gui STATIC
    ${CMAKE_CURRENT_LIST_DIR}/boot_ser.cpp ${CMAKE_CURRENT_LIST_DIR}/boot_ser.h
    ${CMAKE_CURRENT_LIST_DIR}/update_progress.cpp ${CMAKE_CURRENT_LIST_DIR}/update_progress.h)
add_library(strovane::update_gui ALIAS strovane_update_gui)
target_link_libraries(strovane_update_gui PUBLIC
    strovane::update strovane::workspace strovane::workspace_gui strovane::widgets Qt6::Widgets)
strovane_qt_defaults(strovane_update_gui)
