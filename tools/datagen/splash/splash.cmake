# The title picture, its palette and the side bar, painted at every build by make-splash.
set(splash_files ${TARNWICK_GENERATED_DIR}/splash.bin ${TARNWICK_GENERATED_DIR}/splash.pal
  ${TARNWICK_GENERATED_DIR}/sidebar.bin)
add_executable(make-splash
  ${CMAKE_CURRENT_LIST_DIR}/make_splash.cpp ${CMAKE_CURRENT_LIST_DIR}/title.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stroke_font.cpp ${CMAKE_CURRENT_LIST_DIR}/quantize.cpp
  ${CMAKE_CURRENT_LIST_DIR}/side_bar.cpp)
target_link_libraries(make-splash PRIVATE tarnwick_datagen)
add_custom_command(OUTPUT ${splash_files}
  COMMAND make-splash ${splash_files}
  DEPENDS make-splash)
list(APPEND TARNWICK_ARCHIVE_FILES ${splash_files})
