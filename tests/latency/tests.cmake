# The end-to-end latency rig: its programs here, its runs in run_*.sh (started by scripts/test).
add_executable(fifo_reader ${CMAKE_CURRENT_LIST_DIR}/programs/fifo_reader.cpp)
add_executable(latency_probe ${CMAKE_CURRENT_LIST_DIR}/programs/latency_probe.cpp
  ${CMAKE_SOURCE_DIR}/platform/linux/music_devices.cpp)
target_link_libraries(latency_probe PRIVATE tarnwick_pulse_device)
