# Committed data of the line lattice scene (its palette).
committed_data(lattice TOOL make-lattice-data SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_lattice_data.cpp
  OUTPUT ${CMAKE_SOURCE_DIR}/scenes/lattice/lattice_data.cpp)
