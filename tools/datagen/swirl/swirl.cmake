# The swirl's texture tile, fine sine table and palette, committed as scenes/swirl/swirl_data.cpp.
committed_data(swirl TOOL make-swirl-data SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_swirl_data.cpp
  OUTPUT ${CMAKE_SOURCE_DIR}/scenes/swirl/swirl_data.cpp)
