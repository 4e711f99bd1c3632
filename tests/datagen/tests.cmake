# The generator tests run make-splash and make-error-texts from the generators' folder.
target_compile_definitions(test_datagen PRIVATE MAKE_SPLASH_PATH="$<TARGET_FILE:make-splash>"
                                                MAKE_ERROR_TEXTS_PATH="$<TARGET_FILE:make-error-texts>")
add_dependencies(test_datagen make-splash make-error-texts)

# regenerate-data names each package its generators lack and stops; with all there it goes on.
set(needs_script ${CMAKE_SOURCE_DIR}/tools/datagen/regenerate_needs.cmake)
add_test(NAME regenerate_needs_names_each_missing_package
  COMMAND ${CMAKE_COMMAND} -DFREETYPE_FOUND=FALSE -DFONT=/nonexistent/font.ttf
          -DPORTRAIT=/nonexistent/portrait.png -P ${needs_script})
set_tests_properties(regenerate_needs_names_each_missing_package PROPERTIES
  PASS_REGULAR_EXPRESSION "libfreetype-dev.*fonts-dejavu-core.*python3-skimage.*install-deps --regenerate")
add_test(NAME regenerate_needs_pass_when_all_is_there
  COMMAND ${CMAKE_COMMAND} -DFREETYPE_FOUND=TRUE -DFONT=${needs_script} -DPORTRAIT=${needs_script}
          -P ${needs_script})
