# The spiked ball's mesh and palette, generated once and committed as scenes/ball/ball_data.cpp.
add_library(ball_datagen STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ball_mesh_gen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ball_mesh_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ball_palette_gen.cpp)
target_link_libraries(ball_datagen PUBLIC tarnwick_datagen)
committed_data(ball TOOL make-ball-data SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_ball_data.cpp LIBS ball_datagen
  OUTPUT ${CMAKE_SOURCE_DIR}/scenes/ball/ball_data.cpp)
