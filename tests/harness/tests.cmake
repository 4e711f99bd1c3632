# The harness of the test scripts (scripts/lib.sh): its parts private beside someone else's, and
# the stage list said once.
add_test(NAME harness COMMAND ${CMAKE_CURRENT_LIST_DIR}/harness_test.sh)
set_tests_properties(harness PROPERTIES TIMEOUT 120)
add_test(NAME stages COMMAND ${CMAKE_CURRENT_LIST_DIR}/stages_test.sh)
