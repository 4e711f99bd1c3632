# The SDL platform itself, under SDL's dummy audio driver (no sound server answers, so SDL's audio
# plays). Its own program, in a folder of its own: it links the SDL platform where every other
# test program links the headless one.
add_executable(test_sdl ${CMAKE_CURRENT_LIST_DIR}/audio/audio_device_test.cpp)
# The display calls the window, so it comes before the platform on the link line.
target_link_libraries(test_sdl PRIVATE tarnwick_host tarnwick_display tarnwick_platform_sdl GTest::gtest
  GTest::gtest_main)
add_dependencies(test_sdl show_data)
gtest_discover_tests(test_sdl WORKING_DIRECTORY ${TARNWICK_DATA_DIR} DISCOVERY_MODE PRE_TEST
  PROPERTIES TIMEOUT 600 ENVIRONMENT "SDL_AUDIODRIVER=dummy;PULSE_SERVER=unix:/nonexistent/native")
