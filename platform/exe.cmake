target_sources(strovane_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/executable_path.h
    ${CMAKE_CURRENT_LIST_DIR}/executable_path.cpp
)
target_sources(strovane_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/termination.h
    ${CMAKE_CURRENT_LIST_DIR}/termination.cpp
)
