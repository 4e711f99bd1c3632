// tarnwick-pack from the outside, and the show's own tarnwick.dat that the build packs.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "tests/archive/archive_test_support.h"
#include "tests/render_harness.h"

namespace {

using archive_test::bytes_of;
using archive_test::random_bytes;
using archive_test::read_file;
using archive_test::write_file;

class Pack : public archive_test::ScratchFolder {
 protected:
  // Runs the packer built beside the tests in the scratch folder; its exit code, and what it
  // wrote to standard output and standard error.
  int pack(const std::string& args, std::string* output = nullptr) {
    return test_support::run_command((home_ / "tarnwick-pack").string() + " " + args, output);
  }
};

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(Pack, CreateListAndExtractRoundTrip) {
  std::filesystem::create_directory("in");
  const std::vector<uint8_t> noise = random_bytes(70000, 5);
  write_file("in/noise.bin", noise);
  write_file("in/words.txt", bytes_of("the lattice, the swirl, the lattice, the swirl"));
  write_file("in/empty", {});
  ASSERT_EQ(pack("create out.dat in/noise.bin --store in/words.txt in/empty"), 0);

  std::string listing;
  ASSERT_EQ(pack("list out.dat", &listing), 0);
  const std::vector<std::string> lines = lines_of(listing);
  ASSERT_EQ(lines.size(), 3u);
  std::istringstream first(lines[0]), second(lines[1]), third(lines[2]);
  std::string name;
  unsigned offset, stored, unpacked, method;
  first >> name >> offset >> stored >> unpacked >> method;
  EXPECT_EQ(name, "noise.bin");
  EXPECT_EQ(offset, 4u + 3 * 26);
  EXPECT_EQ(unpacked, 70000u);
  EXPECT_EQ(method, 1u);
  const unsigned next_offset = offset + stored;
  second >> name >> offset >> stored >> unpacked >> method;
  EXPECT_EQ(name, "words.txt");
  EXPECT_EQ(offset, next_offset);
  EXPECT_EQ(method, 0u);
  third >> name >> offset >> stored >> unpacked >> method;
  EXPECT_EQ(name, "empty");
  EXPECT_EQ(stored, 0u);
  EXPECT_EQ(method, 0u);  // nothing to compress

  std::string text;
  for (const char* file : {"noise.bin", "words.txt", "empty"}) {
    ASSERT_EQ(pack(std::string("extract out.dat ") + file + " got", &text), 0) << file;
    EXPECT_EQ(text, "Filesystem 3.10\n.");
    EXPECT_EQ(read_file("got"), read_file(std::string("in/") + file)) << file;
  }
}

TEST_F(Pack, ExtractFallsBackToLooseFilesAndFailsWithTheLoadersText) {
  write_file("a.bin", bytes_of("a"));
  ASSERT_EQ(pack("create out.dat a.bin"), 0);
  write_file("loose.bin", bytes_of("beside the archive"));
  std::string text;
  EXPECT_EQ(pack("extract out.dat loose.bin got", &text), 0);
  EXPECT_EQ(read_file("got"), bytes_of("beside the archive"));
  EXPECT_EQ(pack("extract out.dat missing.bin got2", &text), 1);
  EXPECT_EQ(text, "Filesystem 3.10\nCould not open missing.bin\n");
  EXPECT_FALSE(std::filesystem::exists("got2"));

  // A damaged archive: the reason, then the loose fallback.
  write_file("bad.dat", {0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(pack("extract bad.dat a.bin got3", &text), 0);
  EXPECT_EQ(text, "Filesystem 3.10\nIgnoring archive bad.dat: entry count -1 is outside 0..300, using loose files\n.");
  EXPECT_EQ(pack("list bad.dat", &text), 1);
  EXPECT_EQ(pack("list nothing.dat", &text), 1);
  EXPECT_EQ(text, "Could not open nothing.dat\n");
}

TEST_F(Pack, CreateRefusesWhatTheArchiveCannotHold) {
  std::filesystem::create_directories("x/y");
  write_file("thirteen.char", bytes_of("13"));  // 13 characters: no room for a terminator
  write_file("x/same", bytes_of("1"));
  write_file("x/y/same", bytes_of("2"));
  EXPECT_EQ(pack("create out.dat thirteen.char"), 1);
  EXPECT_EQ(pack("create out.dat x/same x/y/same"), 1);
  EXPECT_EQ(pack("create out.dat no-such-file"), 1);
  EXPECT_EQ(pack("create out.dat x"), 1);  // a folder
  EXPECT_EQ(pack("create out.dat x/same --store"), 2);
  EXPECT_EQ(pack("frobnicate"), 2);
  EXPECT_EQ(pack(""), 2);
}

TEST_F(Pack, ShowArchiveHoldsTheFiveFilesInLoadOrder) {
  std::string listing;
  ASSERT_EQ(pack("list " + (home_ / "tarnwick.dat").string(), &listing), 0);
  const std::vector<std::string> lines = lines_of(listing);
  const std::vector<std::string> order = {"splash.bin", "splash.pal", "sidebar.bin", "scroll.bin", "scroll.pal"};
  ASSERT_EQ(lines.size(), order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(lines[i].substr(0, lines[i].find(' ')), order[i]);
    // Only the archive is beside the programs, no loose copies.
    EXPECT_FALSE(std::filesystem::exists(home_ / order[i])) << order[i];
  }

  // Loaded as the show loads them, from the programs' folder.
  std::filesystem::current_path(home_);
  archive_open("tarnwick.dat");
  for (const std::string& name : order) {
    archive_test::Loaded loaded;
    ASSERT_EQ(load_file(name.c_str(), &loaded.block, &loaded.size), 0) << name;
    if (name == "splash.bin") {
      EXPECT_EQ(loaded.size, 64000u);
    }
    if (name.ends_with(".pal")) {
      EXPECT_EQ(loaded.size, 768u);
    }
    EXPECT_GT(loaded.size, 0u);
  }
  archive_close();
}

}  // namespace
