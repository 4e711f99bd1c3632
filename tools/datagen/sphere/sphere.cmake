# The sphere's model and palette, generated once and committed as scenes/sphere/sphere_data.cpp.
add_executable(make-sphere-data ${CMAKE_CURRENT_LIST_DIR}/make_sphere_data.cpp)
target_link_libraries(make-sphere-data PRIVATE tarnwick_datagen)
add_custom_target(regenerate-sphere
  COMMAND make-sphere-data ${CMAKE_SOURCE_DIR}/scenes/sphere/sphere_data.cpp
  DEPENDS make-sphere-data)
add_dependencies(regenerate-data regenerate-sphere)
