# The web build's settings, included by the root CMakeLists when the compiler is emscripten.
tarnwick_import_openmpt(wasm)

# A damaged module throws inside libopenmpt: with exceptions on it fails to load instead of
# aborting the page.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)
# The passes' SSE2 paths, through emscripten's translation to wasm SIMD (every current browser
# has it); the same-frames test holds them to the native frames.
add_compile_options(-msimd128 -msse2)
