# The scroll picture and its palette, composed at every build from glyphs committed in
# scroll/scroll_font_data.cpp (rendered once by make-scroll-font: target regenerate-scroll-font).
archive_data(TOOL make-scroll
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_scroll.cpp ${CMAKE_CURRENT_LIST_DIR}/scroll_font_data.cpp
  OUTPUTS ${TARNWICK_GENERATED_DIR}/scroll.bin ${TARNWICK_GENERATED_DIR}/scroll.pal)

find_package(Freetype)
if(FREETYPE_FOUND)
  committed_data(scroll-font TOOL make-scroll-font SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_scroll_font.cpp
    LIBS Freetype::Freetype ARGS ${TARNWICK_FONT_FILE} OUTPUT ${CMAKE_CURRENT_LIST_DIR}/scroll_font_data.cpp)
endif()
