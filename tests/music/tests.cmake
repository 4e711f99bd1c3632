# libxmp is the second, independent reader of the music module.
pkg_check_modules(XMP REQUIRED IMPORTED_TARGET libxmp)
target_link_libraries(test_music PRIVATE PkgConfig::XMP)
