// --help and --version, answered alike by every tool.
#include "tools/standard_options.h"

#include <cstdio>

int answer_standard_option(std::string_view argument, const char* program, const char* usage) {
  if (argument == "--version")
    std::printf("%s %s\nCopyright 2026 The Tarnwick developers, under the MIT licence\n", program, TARNWICK_VERSION);
  else
    std::fputs(usage, stdout);
  return 0;
}
