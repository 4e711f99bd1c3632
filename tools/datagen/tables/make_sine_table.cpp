// Writes scenes/common/sine_table_data.cpp: the effects' integer sine table.
#include <cmath>

#include "tools/datagen/common/emit_source.h"

int main(int argc, char** argv) {
  if (!datagen::arguments_fit(argc, 2, "make-sine-table OUT.cpp")) return 2;
  int32_t table[1024];
  for (int i = 0; i < 1024; ++i) {
    table[i] = static_cast<int32_t>(std::lround(512.0 * std::sin(2.0 * M_PI * (i + 1) / 1024.0)));
  }
  const std::string body = datagen::source_array("const int32_t sine_table[1024]", table, 1024);
  return datagen::write_source(argv[1], "tools/datagen/tables/make_sine_table.cpp", {"scenes/common/fx.h"}, body) ? 0
                                                                                                                  : 1;
}
