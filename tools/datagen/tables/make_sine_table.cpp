// Writes scenes/common/sine_table_data.cpp: the effects' integer sine table.
#include <cmath>
#include <cstdio>

#include "tools/datagen/common/emit_source.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-sine-table OUT.cpp\n");
    return 2;
  }
  int32_t table[1024];
  for (int i = 0; i < 1024; ++i) {
    table[i] = static_cast<int32_t>(std::lround(512.0 * std::sin(2.0 * M_PI * (i + 1) / 1024.0)));
  }
  datagen::SourceFile out;
  if (!datagen::source_begin(&out, argv[1], "tools/datagen/tables/make_sine_table.cpp", {"scenes/common/fx.h"})) return 1;
  datagen::source_ints(&out, "const int32_t sine_table[1024]", table, 1024);
  return datagen::source_end(&out) ? 0 : 1;
}
