# The scroll picture and its palette, composed at every build from glyphs committed in
# scroll/scroll_font_data.cpp (rendered once by make-scroll-font: target regenerate-scroll-font).
set(scroll_files ${TARNWICK_GENERATED_DIR}/scroll.bin ${TARNWICK_GENERATED_DIR}/scroll.pal)
add_executable(make-scroll ${CMAKE_CURRENT_LIST_DIR}/make_scroll.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scroll_font_data.cpp)
add_custom_command(OUTPUT ${scroll_files}
  COMMAND make-scroll ${scroll_files}
  DEPENDS make-scroll)
list(APPEND TARNWICK_ARCHIVE_FILES ${scroll_files})

find_package(Freetype)
if(FREETYPE_FOUND)
  add_executable(make-scroll-font ${CMAKE_CURRENT_LIST_DIR}/make_scroll_font.cpp)
  target_link_libraries(make-scroll-font PRIVATE tarnwick_datagen Freetype::Freetype)
  set(TARNWICK_SCROLL_FONT_FILE /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf CACHE FILEPATH
      "TrueType font the scroll picture's letters are rendered from")
  add_custom_target(regenerate-scroll-font
    COMMAND make-scroll-font ${TARNWICK_SCROLL_FONT_FILE}
            ${CMAKE_CURRENT_LIST_DIR}/scroll_font_data.cpp
    DEPENDS make-scroll-font)
  add_dependencies(regenerate-data regenerate-scroll-font)
endif()
