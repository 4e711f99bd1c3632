# The caption font, rendered once from DejaVu Sans Bold (fonts-dejavu-core) and committed.
find_package(Freetype)
if(FREETYPE_FOUND)
  committed_data(font TOOL make-font SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_font.cpp LIBS Freetype::Freetype
    ARGS ${TARNWICK_FONT_FILE} OUTPUT ${CMAKE_SOURCE_DIR}/scenes/captions/font_picture_data.cpp)
endif()
