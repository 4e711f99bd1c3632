# The core's GoogleTest programs, cross-built and run under Wine (CMAKE_CROSSCOMPILING_EMULATOR,
# set by scripts/test-windows): 64-bit Windows has a 32-bit long and another C runtime, and the
# frame hashes must come out as on Linux. GoogleTest is built from Debian's sources.
set(TARNWICK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest)")
add_subdirectory(${TARNWICK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

include(${CMAKE_SOURCE_DIR}/tests/test_support.cmake)

# The frame tests run the scene harness of tarnwick-render, the only part of it built here.
add_executable(tarnwick-render ${CMAKE_SOURCE_DIR}/tools/render/harness_main.cpp
  ${CMAKE_SOURCE_DIR}/tools/render/render_options.cpp ${CMAKE_SOURCE_DIR}/tools/render/scene_run.cpp)
target_link_libraries(tarnwick-render PRIVATE tarnwick_host tarnwick_platform_headless)
add_dependencies(tarnwick-render show_data)

enable_testing()
# tarnwick-render here has only the scene harness: the host test that plays a whole show through
# it runs in the Linux build alone.
set(windows_test_args_host --gtest_filter=-ScriptCheck.TheShowSaysSoAtStartUpAndPlaysOn)
# Every folder of tests/ with test sources runs here too, but for those that test the Linux side:
set(linux_only_test_folders
  datagen  # the generators run at build time, on the build machine
  install  # the install tree, the Debian package and the data lookup through /proc
  music    # libxmp, the second reader of the module, is not cross-built
  pack     # runs tarnwick-pack, a build machine tool
  perf     # counts allocations through the GNU linker's --wrap
  render   # the whole tarnwick-render (PNG, WAV, video), built natively only
)
file(GLOB test_dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*)
foreach(dir ${test_dirs})
  get_filename_component(name ${dir} NAME)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT IS_DIRECTORY ${dir} OR NOT sources OR name IN_LIST linux_only_test_folders)
    continue()
  endif()
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

# Folders without a program of the generic kind, each holding its own.
include(${CMAKE_SOURCE_DIR}/tests/player/tests.cmake)

# The Windows window's own behaviour, through its real window procedure and the system's calls.
add_executable(test_win32_window ${CMAKE_CURRENT_LIST_DIR}/window/display_on_test.cpp)
target_link_libraries(test_win32_window PRIVATE tarnwick_host tarnwick_platform_win32 gtest gtest_main)
add_test(NAME win32_window COMMAND test_win32_window WORKING_DIRECTORY ${TARNWICK_DATA_DIR})

# The latency rig's probe over the Windows devices, played under Wine by tests/windows/latency.sh.
add_executable(latency_probe ${CMAKE_SOURCE_DIR}/tests/latency/programs/latency_probe.cpp)
target_link_libraries(latency_probe PRIVATE tarnwick_windows_audio)

# Helpers of scripts/test-windows: a look at the dialogs in Wine, and the real popup on its own.
add_executable(window-probe ${CMAKE_CURRENT_LIST_DIR}/helpers/window_probe.cpp)
add_executable(popup-check WIN32 ${CMAKE_CURRENT_LIST_DIR}/helpers/popup_check.cpp ${CMAKE_SOURCE_DIR}/platform/win32/tarnwick.rc)
target_link_libraries(popup-check PRIVATE tarnwick_host tarnwick_platform_win32)
set_source_files_properties(${CMAKE_SOURCE_DIR}/platform/win32/tarnwick.rc PROPERTIES
  INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/platform/win32)
add_dependencies(popup-check tarnwick)  # which makes the icon the resources include
