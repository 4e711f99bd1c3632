// The archive's five data files, loaded at start-up in the packer's order.
#include "host/data_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archive/archive.h"
#include "host/show_state.h"
#include "scenes/scroller/scroller.h"

namespace {

uint8_t* scroll_picture_block = nullptr;
uint8_t* scroll_palette_block = nullptr;

char data_problem[128];

}  // namespace

// data_files, one row a line of host/data_files.list, which the packer's build rule reads too.
#include "data_files_table.inc"

bool load_data_files() {
  data_problem[0] = '\0';
  archive_open("tarnwick.dat");
  uint32_t sizes[data_file_count] = {};
  char load_errors[data_file_count][sizeof data_problem] = {};
  for (int32_t i = 0; i < data_file_count; ++i) {
    if (load_file(data_files[i].name, data_files[i].block, &sizes[i]) != 0)
      std::snprintf(load_errors[i], sizeof load_errors[i], "%s", archive_last_error());
  }
  std::fflush(stdout);
  // The splash and the scenes read these whole: a missing or short file stops the show here.
  bool complete = true;
  for (int32_t i = 0; i < data_file_count; ++i) {
    const DataFile& file = data_files[i];
    char problem[sizeof data_problem] = "";
    if (load_errors[i][0]) {
      std::memcpy(problem, load_errors[i], sizeof problem);  // there, but it could not be read
    } else if (!*file.block) {
      std::snprintf(problem, sizeof problem, "Data file %s is missing", file.name);
    } else if (sizes[i] < file.min_size) {
      std::snprintf(problem, sizeof problem, "Data file %s is too short: %u bytes, needs %u", file.name, sizes[i],
                    file.min_size);
    }
    // One unreadable archive is the problem of every file: said once.
    if (problem[0] && (complete || std::strcmp(problem, data_problem) != 0)) std::fprintf(stderr, "%s\n", problem);
    if (problem[0] && complete) std::memcpy(data_problem, problem, sizeof problem);
    if (problem[0]) complete = false;
  }
  scroll_picture = scroll_picture_block;
  scroll_palette = scroll_palette_block;
  return complete;
}

const char* data_files_problem() { return data_problem; }

void free_data_files() {
  for (const DataFile& file : data_files) {
    std::free(*file.block);
    *file.block = nullptr;
  }
  scroll_picture = nullptr;
  scroll_palette = nullptr;
}
