# Plain stand-ins for the archive's pictures until their own generators exist: each line below
# names one file; remove a file here when a real generator takes it over.
add_executable(make-placeholder-data make_placeholder_data.cpp)
set(placeholder_files
  ${TARNWICK_GENERATED_DIR}/splash.bin
  ${TARNWICK_GENERATED_DIR}/splash.pal
  ${TARNWICK_GENERATED_DIR}/sidebar.bin)
add_custom_command(OUTPUT ${placeholder_files}
  COMMAND make-placeholder-data ${placeholder_files}
  DEPENDS make-placeholder-data)
list(APPEND TARNWICK_ARCHIVE_FILES ${placeholder_files})
