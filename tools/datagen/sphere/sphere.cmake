# The sphere's model and palette, generated once and committed as scenes/sphere/sphere_data.cpp.
committed_data(sphere TOOL make-sphere-data SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_sphere_data.cpp
  OUTPUT ${CMAKE_SOURCE_DIR}/scenes/sphere/sphere_data.cpp)
