# The show's music module, tarnwick.it, composed in code at every build.
set(music_dir ${CMAKE_CURRENT_LIST_DIR}/music)

add_library(tarnwick_it_writer STATIC ${music_dir}/it_writer.cpp ${music_dir}/show_cues.cpp)
target_link_libraries(tarnwick_test_support INTERFACE tarnwick_it_writer)

add_executable(make-music ${music_dir}/make_music.cpp ${music_dir}/click_track.cpp)
target_link_libraries(make-music PRIVATE tarnwick_it_writer)

add_custom_command(OUTPUT ${TARNWICK_DATA_DIR}/tarnwick.it
  COMMAND make-music ${TARNWICK_DATA_DIR}/tarnwick.it
  DEPENDS make-music)
list(APPEND TARNWICK_SHOW_DATA ${TARNWICK_DATA_DIR}/tarnwick.it)
