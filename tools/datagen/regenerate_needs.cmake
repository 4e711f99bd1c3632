# Runs before every regenerate-* target: names what the generators of the committed data need
# and the base install lacks, and stops. Script mode: cmake -DFREETYPE_FOUND=... -DFONT=FILE
# -DPORTRAIT=FILE -P regenerate_needs.cmake
set(missing "")
if(NOT FREETYPE_FOUND)
  list(APPEND missing "libfreetype-dev: FreeType, for the font generators (looked for when cmake configures)")
endif()
if(NOT EXISTS "${FONT}")
  list(APPEND missing "fonts-dejavu-core: the font ${FONT}")
endif()
if(NOT EXISTS "${PORTRAIT}")
  list(APPEND missing "python3-skimage: the portrait ${PORTRAIT}")
endif()
if(missing)
  list(JOIN missing "\n  " text)
  message(FATAL_ERROR "regenerate-data: missing\n  ${text}\n"
    "Install them with scripts/install-deps --regenerate, configure again "
    "(cmake -S . -B build) and rerun.")
endif()
