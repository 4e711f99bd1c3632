# The show's music module, tarnwick.it, composed and synthesized in code at every build.
set(music_dir ${CMAKE_CURRENT_LIST_DIR})

add_library(tarnwick_it_writer STATIC ${music_dir}/it_writer.cpp ${music_dir}/show_cues.cpp)

add_library(tarnwick_music_composer STATIC ${music_dir}/synth.cpp ${music_dir}/score.cpp
  ${music_dir}/instruments.cpp ${music_dir}/song.cpp)
target_link_libraries(tarnwick_music_composer PUBLIC tarnwick_it_writer)

add_executable(make-music ${music_dir}/make_music.cpp)
target_link_libraries(make-music PRIVATE tarnwick_music_composer)

add_custom_command(OUTPUT ${TARNWICK_DATA_DIR}/tarnwick.it
  COMMAND make-music ${TARNWICK_DATA_DIR}/tarnwick.it
  DEPENDS make-music)
list(APPEND TARNWICK_SHOW_DATA ${TARNWICK_DATA_DIR}/tarnwick.it)
