# The module player over devices the test controls, with a clock the test moves, and the devices'
# own arithmetic: its own program, since every other one links a whole platform. The Windows test build includes it too.
add_executable(test_player ${CMAKE_CURRENT_LIST_DIR}/devices/module_player_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/devices/wrapping_count_test.cpp
  ${CMAKE_SOURCE_DIR}/platform/module_player.cpp ${CMAKE_SOURCE_DIR}/platform/module_stream.cpp
  ${CMAKE_SOURCE_DIR}/platform/module_file.cpp ${CMAKE_SOURCE_DIR}/platform/device_opener_thread.cpp)
target_include_directories(test_player PRIVATE ${CMAKE_SOURCE_DIR})
if(WIN32)
  target_link_libraries(test_player PRIVATE tarnwick_openmpt gtest gtest_main)
  add_test(NAME player COMMAND test_player WORKING_DIRECTORY ${TARNWICK_DATA_DIR})
else()
  target_link_libraries(test_player PRIVATE tarnwick_openmpt GTest::gtest GTest::gtest_main)
  add_dependencies(test_player show_data)
  gtest_discover_tests(test_player WORKING_DIRECTORY ${TARNWICK_DATA_DIR} DISCOVERY_MODE PRE_TEST)
endif()
