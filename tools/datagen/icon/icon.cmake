# The program's icon ("iconbig"), drawn once and committed as resources/iconbig_data.cpp.
# Pass a PNG path as make-icon's second argument to look at it enlarged.
add_executable(make-icon ${CMAKE_CURRENT_LIST_DIR}/make_icon.cpp)
target_link_libraries(make-icon PRIVATE tarnwick_datagen PkgConfig::PNG)
add_custom_target(regenerate-icon
  COMMAND make-icon ${CMAKE_SOURCE_DIR}/resources/iconbig_data.cpp
  DEPENDS make-icon)
add_dependencies(regenerate-data regenerate-icon)
