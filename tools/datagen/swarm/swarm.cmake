# Committed data of the particle logo scene (logo word, blob, palette, jitter tables).
committed_data(swarm TOOL make-swarm-data SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_swarm_data.cpp
  OUTPUT ${CMAKE_SOURCE_DIR}/scenes/swarm/swarm_data.cpp)
