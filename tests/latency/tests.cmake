# The end-to-end latency rig: its programs here, its runs in latency_test.sh (run by scripts/test).
add_executable(fifo_reader ${CMAKE_CURRENT_LIST_DIR}/programs/fifo_reader.cpp)
add_executable(latency_probe ${CMAKE_CURRENT_LIST_DIR}/programs/latency_probe.cpp)
target_link_libraries(latency_probe PRIVATE tarnwick_linux_audio)
# The real program's screen and its module's rows, for the test in a virtual X server.
find_package(X11 REQUIRED)
add_executable(screen_watch ${CMAKE_CURRENT_LIST_DIR}/programs/screen_watch.cpp)
target_link_libraries(screen_watch PRIVATE X11::X11 X11::Xext)
add_executable(module_row ${CMAKE_CURRENT_LIST_DIR}/programs/module_row.cpp ${CMAKE_SOURCE_DIR}/platform/module_file.cpp)
target_link_libraries(module_row PRIVATE tarnwick_openmpt)
