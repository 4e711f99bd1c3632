# The display's table of DirectDraw result codes and their documented texts, generated once
# from the team's shared table and committed as display/error_texts_data.cpp.
add_executable(make-error-texts ${CMAKE_CURRENT_LIST_DIR}/make_error_texts.cpp)
target_link_libraries(make-error-texts PRIVATE tarnwick_datagen)
set(TARNWICK_ERROR_TEXTS_TABLE ${CMAKE_SOURCE_DIR}/../shared/ddraw-error-texts.tsv CACHE FILEPATH
    "Tab-separated DirectDraw result codes (name, value, text) the error texts are made from")
add_custom_target(regenerate-error-texts
  COMMAND make-error-texts ${TARNWICK_ERROR_TEXTS_TABLE} ${CMAKE_SOURCE_DIR}/display/error_texts_data.cpp
  DEPENDS make-error-texts)
add_dependencies(regenerate-data regenerate-error-texts)
