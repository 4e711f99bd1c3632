# The core's GoogleTest programs, cross-built and run under Wine (CMAKE_CROSSCOMPILING_EMULATOR,
# set by scripts/test-windows): 64-bit Windows has a 32-bit long and another C runtime, and the
# frame hashes must come out as on Linux. GoogleTest is built from Debian's sources.
set(TARNWICK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest)")
add_subdirectory(${TARNWICK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# What the core's tests link besides the core: the packer's writer, the ball's generator and the
# music's composer (the script check builds broken modules from the show's song).
add_library(tarnwick_test_support STATIC
  ${CMAKE_SOURCE_DIR}/tools/pack/archive_writer.cpp
  ${CMAKE_SOURCE_DIR}/tools/datagen/ball/ball_mesh_gen.cpp
  ${CMAKE_SOURCE_DIR}/tools/datagen/ball/ball_mesh_check.cpp
  ${CMAKE_SOURCE_DIR}/tools/datagen/ball/ball_palette_gen.cpp
  ${CMAKE_SOURCE_DIR}/tools/datagen/common/emit_source.cpp
  ${CMAKE_SOURCE_DIR}/tools/datagen/common/palette_ramp.cpp
  ${CMAKE_SOURCE_DIR}/tools/datagen/music/it_writer.cpp
  ${CMAKE_SOURCE_DIR}/tools/datagen/music/show_cues.cpp
  ${CMAKE_SOURCE_DIR}/tools/datagen/music/synth.cpp
  ${CMAKE_SOURCE_DIR}/tools/datagen/music/score.cpp
  ${CMAKE_SOURCE_DIR}/tools/datagen/music/instruments.cpp
  ${CMAKE_SOURCE_DIR}/tools/datagen/music/song.cpp)
target_link_libraries(tarnwick_test_support PUBLIC tarnwick_archive)
target_compile_definitions(tarnwick_test_support PRIVATE _USE_MATH_DEFINES)  # the generator's M_PI

# The frame tests run the scene harness of tarnwick-render, the only part of it built here.
add_executable(tarnwick-render ${CMAKE_SOURCE_DIR}/tools/render/harness_main.cpp
  ${CMAKE_SOURCE_DIR}/tools/render/render_options.cpp ${CMAKE_SOURCE_DIR}/tools/render/scene_run.cpp)
target_link_libraries(tarnwick-render PRIVATE tarnwick_host tarnwick_platform_headless)
add_dependencies(tarnwick-render show_data)

enable_testing()
# tarnwick-render here has only the scene harness: the host test that plays a whole show through
# it runs in the Linux build alone.
set(windows_test_args_host --gtest_filter=-ScriptCheck.TheShowSaysSoAtStartUpAndPlaysOn)
set(core_test_folders archive host display common captions platform
  swarm lattice swirl feedback ball sphere scroller)
foreach(name ${core_test_folders})
  set(dir ${CMAKE_SOURCE_DIR}/tests/${name})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE tarnwick_host tarnwick_platform_headless tarnwick_test_support
    gtest gtest_main)
  target_compile_definitions(test_${name} PRIVATE _USE_MATH_DEFINES)  # M_PI, as glibc gives it
  add_dependencies(test_${name} tarnwick-render)
  add_test(NAME ${name} COMMAND test_${name} ${windows_test_args_${name}} WORKING_DIRECTORY ${TARNWICK_DATA_DIR})
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  if(EXISTS ${dir}/tests.cmake)
    include(${dir}/tests.cmake)
  endif()
endforeach()

# Helpers of scripts/test-windows: a look at the dialogs in Wine, and the real popup on its own.
add_executable(window-probe ${CMAKE_CURRENT_LIST_DIR}/helpers/window_probe.cpp)
add_executable(popup-check WIN32 ${CMAKE_CURRENT_LIST_DIR}/helpers/popup_check.cpp ${CMAKE_SOURCE_DIR}/platform/win32/tarnwick.rc)
target_link_libraries(popup-check PRIVATE tarnwick_host tarnwick_platform_win32)
set_source_files_properties(${CMAKE_SOURCE_DIR}/platform/win32/tarnwick.rc PROPERTIES
  INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/platform/win32)
add_dependencies(popup-check tarnwick)  # which makes the icon the resources include
