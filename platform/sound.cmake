# Click sounds: PlaySound on Windows; elsewhere none here (the widgets use Qt Multimedia).
target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/sound.h)
if(WIN32)
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/sound_win32.cpp)
    target_link_libraries(strovane_platform PUBLIC winmm)
else()
    target_sources(strovane_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/sound_none.cpp)
endif()
