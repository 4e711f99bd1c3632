# The web build's settings, included by the root CMakeLists when the compiler is emscripten.
# libopenmpt comes cross-built from scripts/build-libopenmpt wasm; its prefix is given as
# TARNWICK_OPENMPT_PREFIX.
set(TARNWICK_OPENMPT_PREFIX "" CACHE PATH "libopenmpt built for wasm (scripts/build-libopenmpt wasm)")
if(NOT EXISTS "${TARNWICK_OPENMPT_PREFIX}/lib/libopenmpt.a")
  message(FATAL_ERROR "No libopenmpt for wasm in '${TARNWICK_OPENMPT_PREFIX}': "
    "pass -DTARNWICK_OPENMPT_PREFIX=$(scripts/build-libopenmpt wasm)")
endif()
# Named as the native pkg-config target, so the platform libraries link it unchanged.
add_library(tarnwick_openmpt_wasm STATIC IMPORTED)
set_target_properties(tarnwick_openmpt_wasm PROPERTIES
  IMPORTED_LOCATION "${TARNWICK_OPENMPT_PREFIX}/lib/libopenmpt.a"
  INTERFACE_INCLUDE_DIRECTORIES "${TARNWICK_OPENMPT_PREFIX}/include")
add_library(PkgConfig::OPENMPT ALIAS tarnwick_openmpt_wasm)

# A damaged module throws inside libopenmpt: with exceptions on it fails to load instead of
# aborting the page.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)
# The passes' SSE2 paths, through emscripten's translation to wasm SIMD (every current browser
# has it); the same-frames test holds them to the native frames.
add_compile_options(-msimd128 -msse2)
