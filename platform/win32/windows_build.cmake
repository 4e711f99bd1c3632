# The Windows program, cross-built with mingw-w64 (cmake/mingw-w64.cmake): the portable core,
# platform/win32, tarnwick.exe, and the core's GoogleTest programs run under Wine. No generators
# or tools here: the show data is copied from the native build (TARNWICK_NATIVE_BIN).
include_directories(${CMAKE_SOURCE_DIR})
enable_language(RC)

tarnwick_import_openmpt(windows)
set(TARNWICK_NATIVE_BIN "${CMAKE_SOURCE_DIR}/build/bin" CACHE PATH "native build's bin folder, source of the show data")
# Self-contained programs: the compiler's runtime and the threads library inside the exe.
add_link_options(-static -static-libgcc -static-libstdc++)

foreach(dir ${tarnwick_core_folders})
  add_subdirectory(${dir})
endforeach()

# The show data beside the programs, from the native build.
foreach(file tarnwick.dat tarnwick.it)
  add_custom_command(OUTPUT ${TARNWICK_DATA_DIR}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy ${TARNWICK_NATIVE_BIN}/${file} ${TARNWICK_DATA_DIR}/${file}
    DEPENDS ${TARNWICK_NATIVE_BIN}/${file})
  list(APPEND windows_show_data ${TARNWICK_DATA_DIR}/${file})
endforeach()
add_custom_target(show_data ALL DEPENDS ${windows_show_data})

if(TARNWICK_TESTS)
  include(tests/windows/windows_tests.cmake)
endif()
