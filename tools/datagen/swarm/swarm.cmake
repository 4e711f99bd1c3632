# Committed data of the particle logo scene (logo word, blob, palette, jitter tables).
add_executable(make-swarm-data ${CMAKE_CURRENT_LIST_DIR}/make_swarm_data.cpp)
target_link_libraries(make-swarm-data PRIVATE tarnwick_datagen)
add_custom_target(regenerate-swarm
  COMMAND make-swarm-data ${CMAKE_SOURCE_DIR}/scenes/swarm/swarm_data.cpp
  DEPENDS make-swarm-data)
add_dependencies(regenerate-data regenerate-swarm)
