# Committed data of the particle logo and line lattice scenes (logo word, blob, palettes, jitter).
add_executable(make-swarm-data make_swarm_data.cpp palette_ramp.cpp)
target_link_libraries(make-swarm-data PRIVATE tarnwick_datagen)
add_custom_target(regenerate-swarm
  COMMAND make-swarm-data ${CMAKE_SOURCE_DIR}/scenes/swarm/swarm_data.cpp
  DEPENDS make-swarm-data)
add_dependencies(regenerate-data regenerate-swarm)

add_executable(make-lattice-data make_lattice_data.cpp palette_ramp.cpp)
target_link_libraries(make-lattice-data PRIVATE tarnwick_datagen)
add_custom_target(regenerate-lattice
  COMMAND make-lattice-data ${CMAKE_SOURCE_DIR}/scenes/lattice/lattice_data.cpp
  DEPENDS make-lattice-data)
add_dependencies(regenerate-data regenerate-lattice)
