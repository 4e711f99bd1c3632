# The title picture, its palette and the side bar, painted at every build by make-splash.
archive_data(TOOL make-splash
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_splash.cpp ${CMAKE_CURRENT_LIST_DIR}/title.cpp
    ${CMAKE_CURRENT_LIST_DIR}/stroke_font.cpp ${CMAKE_CURRENT_LIST_DIR}/quantize.cpp
    ${CMAKE_CURRENT_LIST_DIR}/side_bar.cpp
  OUTPUTS ${TARNWICK_GENERATED_DIR}/splash.bin ${TARNWICK_GENERATED_DIR}/splash.pal
    ${TARNWICK_GENERATED_DIR}/sidebar.bin)
