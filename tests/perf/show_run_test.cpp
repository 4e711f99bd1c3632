// The whole show, run once in this process on the headless platform: every presented frame and
// its palette go into one hash (so no optimisation may change a byte of what is shown), and the
// heap allocations are counted between presents (none may happen in a pass of the main loop).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "host/show_state.h"
#include "host/startup.h"
#include "platform/headless/headless.h"

// Every heap allocation of the program: operator new here, malloc and calloc through the
// linker's --wrap (tests.cmake), so the show's own C allocations count too.
namespace {
uint64_t allocation_count = 0;
}

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void* __wrap_malloc(size_t size) {
  ++allocation_count;
  return __real_malloc(size);
}
void* __wrap_calloc(size_t count, size_t size) {
  ++allocation_count;
  return __real_calloc(count, size);
}
void* __wrap_realloc(void* block, size_t size) {
  ++allocation_count;
  return __real_realloc(block, size);
}
}

void* operator new(size_t size) {
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace {

constexpr uint64_t max_presents = 20000;

// What one run of the show leaves; filled by the present hook without allocating.
struct ShowRun {
  int32_t exit_code = -1;
  uint64_t presents = 0;
  uint64_t hash = 14695981039346656037ull;
  uint64_t allocations_at[max_presents + 1] = {};  // allocation count at each present
  uint64_t music_start_present = 0;                // first present after the music started
};

ShowRun run;

void mix(uint64_t word) { run.hash = (run.hash ^ word) * 1099511628211ull; }

void on_present(const uint8_t* pixels, int32_t pitch, const PaletteEntry* palette, uint64_t number, void*) {
  if (number <= max_presents) run.allocations_at[number] = allocation_count;
  if (run.music_start_present == 0 && headless_music_started()) run.music_start_present = number;
  for (int32_t y = 0; y < screen_height; ++y) {
    const uint8_t* row = pixels + y * pitch;
    for (int32_t x = 0; x < screen_width; x += 8) {
      uint64_t word;
      std::memcpy(&word, row + x, sizeof word);
      mix(word);
    }
  }
  for (int32_t i = 0; i < 256; ++i) {
    mix(palette[i].red | palette[i].green << 8 | palette[i].blue << 16);
  }
  run.presents = number;
}

// The show runs once per process, from the state the process starts with.
const ShowRun& show_run() {
  static bool done = false;
  if (!done) {
    done = true;
    headless_set_present_hook(on_present, nullptr);
    run.exit_code = show_main();
    headless_reset();
  }
  return run;
}

}  // namespace

// When the show changes on purpose (its data, music or effects), record the new count and hash
// that this test prints.
TEST(ShowRun, EveryPresentedFrameIsAsBefore) {
  const ShowRun& r = show_run();
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.presents, 17115u);
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(r.hash));
  EXPECT_STREQ(hex, "5a7c5d108500184f");
}

TEST(ShowRun, NoAllocationInAnyPassOfTheMainLoop) {
  const ShowRun& r = show_run();
  ASSERT_GT(r.music_start_present, 0u);
  ASSERT_LE(r.presents, max_presents);
  // The counters do see allocations: start-up makes hundreds (data files, the module).
  EXPECT_GT(r.allocations_at[r.music_start_present], 100u);
  for (uint64_t p = r.music_start_present + 1; p <= r.presents; ++p) {
    const uint64_t during = r.allocations_at[p] - r.allocations_at[p - 1];
    EXPECT_EQ(during, 0u) << "before present " << p;
    if (during != 0) break;
  }
}
