# The real-window smoke test starts a virtual X server of its own (scripts/lib.sh).
add_test(NAME smoke_window COMMAND ${CMAKE_CURRENT_LIST_DIR}/smoke_window.sh ${TARNWICK_DATA_DIR})
set_tests_properties(smoke_window PROPERTIES TIMEOUT 120)
# With neither DISPLAY nor WAYLAND_DISPLAY the real program refuses to play to nobody.
add_test(NAME no_display COMMAND ${CMAKE_CURRENT_LIST_DIR}/no_display.sh ${TARNWICK_DATA_DIR})
set_tests_properties(no_display PROPERTIES TIMEOUT 120)
