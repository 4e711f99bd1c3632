# The display's table of DirectDraw result codes and their documented texts, generated once
# from the team's shared table and committed as display/error_texts_data.cpp.
set(TARNWICK_ERROR_TEXTS_TABLE ${CMAKE_SOURCE_DIR}/../shared/ddraw-error-texts.tsv CACHE FILEPATH
    "Tab-separated DirectDraw result codes (name, value, text) the error texts are made from")
committed_data(error-texts TOOL make-error-texts SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_error_texts.cpp
  ARGS ${TARNWICK_ERROR_TEXTS_TABLE} OUTPUT ${CMAKE_SOURCE_DIR}/display/error_texts_data.cpp)
