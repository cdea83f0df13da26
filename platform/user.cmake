# The user's data folder and whether standard error is a terminal.
target_sources(strovane_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/user_folders.h
    ${CMAKE_CURRENT_LIST_DIR}/user_folders.cpp
)
