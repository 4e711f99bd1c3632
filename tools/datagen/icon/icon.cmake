# The program's icon ("iconbig"), drawn once and committed as resources/iconbig_data.cpp.
# Pass a PNG path as make-icon's second argument to look at it enlarged.
committed_data(icon TOOL make-icon SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_icon.cpp LIBS PkgConfig::PNG
  OUTPUT ${CMAKE_SOURCE_DIR}/resources/iconbig_data.cpp)
