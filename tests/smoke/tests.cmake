# The real-window smoke test needs an X server: it runs in a virtual one started by xvfb-run.
find_program(XVFB_RUN xvfb-run)
find_program(XDOTOOL xdotool)
if(XVFB_RUN AND XDOTOOL)
  add_test(NAME smoke_window
    COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" ${CMAKE_CURRENT_LIST_DIR}/smoke_window.sh
            ${TARNWICK_DATA_DIR})
  set_tests_properties(smoke_window PROPERTIES TIMEOUT 120)
else()
  # Missing tools fail the test with a reason rather than leaving it out unseen.
  add_test(NAME smoke_window COMMAND sh -c "echo 'smoke: xvfb-run or xdotool is missing (scripts/install-deps)'; exit 1")
endif()
# With neither DISPLAY nor WAYLAND_DISPLAY the real program refuses to play to nobody.
add_test(NAME no_display COMMAND ${CMAKE_CURRENT_LIST_DIR}/no_display.sh ${TARNWICK_DATA_DIR})
set_tests_properties(no_display PROPERTIES TIMEOUT 120)
