# Committed data of the line lattice scene (its palette).
add_executable(make-lattice-data ${CMAKE_CURRENT_LIST_DIR}/make_lattice_data.cpp)
target_link_libraries(make-lattice-data PRIVATE tarnwick_datagen)
add_custom_target(regenerate-lattice
  COMMAND make-lattice-data ${CMAKE_SOURCE_DIR}/scenes/lattice/lattice_data.cpp
  DEPENDS make-lattice-data)
add_dependencies(regenerate-data regenerate-lattice)
