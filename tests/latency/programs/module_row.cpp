// Where a row of the module begins, as the program plays it (loaded the program's way, rendered
// from its start in the program's slices). Prints "START SEEN": the frame at 44100 Hz where the
// row's sound begins, and the first slice at which the program's position stamps show it; writes
// the frames from SEEN on (raw 16-bit stereo) to OUT, to be found in a recording of what was heard.
//   module_row MODULE ORDER ROW OUT
#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/module_file.h"
#include "platform/module_stream.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: module_row MODULE ORDER ROW OUT\n");
    return 2;
  }
  char error[256] = "";
  openmpt_module* module = module_file_load(argv[1], error, sizeof error);
  if (!module) {
    std::fprintf(stderr, "module_row: %s\n", error);
    return 1;
  }
  const int order = std::atoi(argv[2]), row = std::atoi(argv[3]);
  openmpt_module* seeker = module_file_load(argv[1], error, sizeof error);
  const long long start = std::llround(openmpt_module_set_position_order_row(seeker, order, row) * module_sample_rate);
  openmpt_module_destroy(seeker);
  constexpr int32_t slice = 128, kept = 4096;
  std::vector<int16_t> out(2 * kept);
  int64_t frame = 0;
  // Slice by slice until the row starts, then the row's first frames.
  while (openmpt_module_get_current_order(module) != order || openmpt_module_get_current_row(module) != row) {
    if (frame > int64_t{600} * module_sample_rate) {
      std::fprintf(stderr, "module_row: no row %d of order %d in the first 10 minutes\n", row, order);
      return 1;
    }
    openmpt_module_read_interleaved_stereo(module, module_sample_rate, slice, out.data());
    frame += slice;
  }
  openmpt_module_read_interleaved_stereo(module, module_sample_rate, kept, out.data());
  std::FILE* file = std::fopen(argv[4], "wb");
  if (!file || std::fwrite(out.data(), sizeof out[0], out.size(), file) != out.size()) {
    std::fprintf(stderr, "module_row: can't write %s\n", argv[4]);
    return 1;
  }
  std::fclose(file);
  std::printf("%lld %lld\n", start, static_cast<long long>(frame));
  return 0;
}
