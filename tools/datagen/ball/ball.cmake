# The spiked ball's mesh and palette, generated once and committed as scenes/ball/ball_data.cpp.
# The builders are a library so that the tests can check the generator's output and rebuild it.
add_library(ball_datagen STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ball_mesh_gen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ball_mesh_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ball_palette_gen.cpp)
target_link_libraries(tarnwick_test_support INTERFACE ball_datagen)
add_executable(make-ball-data ${CMAKE_CURRENT_LIST_DIR}/make_ball_data.cpp)
target_link_libraries(make-ball-data PRIVATE ball_datagen tarnwick_datagen)
add_custom_target(regenerate-ball
  COMMAND make-ball-data ${CMAKE_SOURCE_DIR}/scenes/ball/ball_data.cpp
  DEPENDS make-ball-data)
add_dependencies(regenerate-data regenerate-ball)
