# libopenmpt, the module player, as the one target tarnwick_openmpt in every build: natively
# Debian's, found by pkg-config; for Windows and the web the static library cross-built by
# scripts/build-libopenmpt WHAT, whose install prefix is given as TARNWICK_OPENMPT_PREFIX.
#   tarnwick_import_openmpt(native | windows | wasm)
function(tarnwick_import_openmpt what)
  if(what STREQUAL native)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(OPENMPT REQUIRED IMPORTED_TARGET libopenmpt)
    add_library(tarnwick_openmpt INTERFACE)
    target_link_libraries(tarnwick_openmpt INTERFACE PkgConfig::OPENMPT)
    return()
  endif()
  set(TARNWICK_OPENMPT_PREFIX "" CACHE PATH "libopenmpt built for ${what} (scripts/build-libopenmpt ${what})")
  if(NOT EXISTS "${TARNWICK_OPENMPT_PREFIX}/lib/libopenmpt.a")
    message(FATAL_ERROR "No libopenmpt for ${what} in '${TARNWICK_OPENMPT_PREFIX}': "
      "pass -DTARNWICK_OPENMPT_PREFIX=$(scripts/build-libopenmpt ${what})")
  endif()
  add_library(tarnwick_openmpt STATIC IMPORTED GLOBAL)
  set_target_properties(tarnwick_openmpt PROPERTIES
    IMPORTED_LOCATION "${TARNWICK_OPENMPT_PREFIX}/lib/libopenmpt.a"
    INTERFACE_INCLUDE_DIRECTORIES "${TARNWICK_OPENMPT_PREFIX}/include")
endfunction()
