// --help and --version, answered alike by every tool.
#pragma once
#include <string_view>

inline bool is_standard_option(std::string_view argument) { return argument == "--help" || argument == "--version"; }

// The usage (--help), or the program's name and version then the copyright and licence (--version),
// on standard output; returns the exit code, 0.
int answer_standard_option(std::string_view argument, const char* program, const char* usage);
