# The swirl's texture tile, fine sine table and palette, committed as scenes/swirl/swirl_data.cpp.
add_executable(make-swirl-data ${CMAKE_CURRENT_LIST_DIR}/make_swirl_data.cpp)
target_link_libraries(make-swirl-data PRIVATE tarnwick_datagen)
add_custom_target(regenerate-swirl
  COMMAND make-swirl-data ${CMAKE_SOURCE_DIR}/scenes/swirl/swirl_data.cpp
  DEPENDS make-swirl-data)
add_dependencies(regenerate-data regenerate-swirl)
