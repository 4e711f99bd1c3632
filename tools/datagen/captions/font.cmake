# The caption font, rendered once from DejaVu Sans Bold (fonts-dejavu-core) and committed.
find_package(Freetype)
if(FREETYPE_FOUND)
  add_executable(make-font ${CMAKE_CURRENT_LIST_DIR}/make_font.cpp)
  target_link_libraries(make-font PRIVATE tarnwick_datagen Freetype::Freetype)
  set(TARNWICK_FONT_FILE /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf CACHE FILEPATH
      "TrueType font the caption font is rendered from")
  add_custom_target(regenerate-font
    COMMAND make-font ${TARNWICK_FONT_FILE} ${CMAKE_SOURCE_DIR}/scenes/captions/font_picture_data.cpp
    DEPENDS make-font)
  add_dependencies(regenerate-data regenerate-font)
endif()
