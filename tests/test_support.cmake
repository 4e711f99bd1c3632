# What the tests link besides the core and the headless platform, for the native and the Windows
# build alike: the packer's writer, the ball's generator and the music's composer (the script
# check builds broken modules from the show's song). Natively also the render tool's writers and
# options, the installed-data lookup and the desktop icon's pixels.
set(test_support_sources
  tools/pack/archive_writer.cpp
  tools/datagen/ball/ball_mesh_gen.cpp
  tools/datagen/ball/ball_mesh_check.cpp
  tools/datagen/ball/ball_palette_gen.cpp
  tools/datagen/common/emit_source.cpp
  tools/datagen/common/palette_ramp.cpp
  tools/datagen/music/it_writer.cpp
  tools/datagen/music/show_cues.cpp
  tools/datagen/music/synth.cpp
  tools/datagen/music/score.cpp
  tools/datagen/music/instruments.cpp
  tools/datagen/music/song.cpp)
if(NOT WIN32)
  list(APPEND test_support_sources tools/render/png_writer.cpp tools/render/wav_writer.cpp
    packaging/icon_pixels.cpp)
endif()
list(TRANSFORM test_support_sources PREPEND ${CMAKE_SOURCE_DIR}/)
add_library(tarnwick_test_support STATIC ${test_support_sources})
target_link_libraries(tarnwick_test_support PUBLIC tarnwick_archive tarnwick_installed_data)
if(NOT WIN32)
  target_link_libraries(tarnwick_test_support PUBLIC tarnwick_harness_file PkgConfig::PNG)
endif()
target_compile_definitions(tarnwick_test_support PRIVATE _USE_MATH_DEFINES)  # the generator's M_PI
