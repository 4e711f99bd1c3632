// The archive reader and file loader: lookups, loose-file fallback, the texts on standard
// output, and damaged archives that must fail cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive/lzw_encoder.h"
#include "tests/archive/archive_test_support.h"
#include "tools/pack/archive_writer.h"

namespace {

using archive_test::bytes_of;
using archive_test::Loaded;
using archive_test::random_bytes;
using archive_test::stdout_of;
using archive_test::write_file;

class Archive : public archive_test::ScratchFolder {
 protected:
  void write_archive(const std::vector<PackInput>& files, const std::string& path = "test.dat") {
    std::vector<uint8_t> image;
    std::string error;
    ASSERT_TRUE(archive_build(files, &image, &error)) << error;
    write_file(path, image);
  }
  std::string open(const std::string& path = "test.dat") {
    return stdout_of([&] { archive_open(path.c_str()); });
  }
  // load_file with its output; the block is kept in loaded.
  std::string load(const char* name, Loaded* loaded, int expected_result = 0) {
    int result = -1;
    const std::string text = stdout_of([&] { result = load_file(name, &loaded->block, &loaded->size); });
    EXPECT_EQ(result, expected_result) << name;
    return text;
  }
  // A load that must fail: its text, and the caller's pointer must stay as it was.
  std::string failed_load(const char* name) {
    uint8_t sentinel = 0;
    uint8_t* block = &sentinel;
    uint32_t size = 1234;
    int result = -1;
    const std::string text = stdout_of([&] { result = load_file(name, &block, &size); });
    EXPECT_EQ(result, 1) << name;
    EXPECT_EQ(block, &sentinel) << name;
    EXPECT_EQ(size, 1234u) << name;
    return text;
  }
};

// count, then the records as given, then data.
std::vector<uint8_t> raw_archive(int32_t count, const std::vector<std::vector<uint8_t>>& records,
                                 const std::vector<uint8_t>& data = {}) {
  std::vector<uint8_t> image;
  for (int i = 0; i < 4; ++i) image.push_back(static_cast<uint8_t>(static_cast<uint32_t>(count) >> (8 * i)));
  for (const auto& record : records) image.insert(image.end(), record.begin(), record.end());
  image.insert(image.end(), data.begin(), data.end());
  return image;
}

std::vector<uint8_t> record(const std::string& name, uint32_t offset, uint32_t stored, uint32_t unpacked,
                            uint8_t method) {
  std::vector<uint8_t> bytes;
  archive_append_record(&bytes, name, offset, stored, unpacked, method);
  return bytes;
}

const std::vector<uint8_t> abababa_stream = {0x41, 0x84, 0x08, 0x24, 0x18, 0x10};

TEST_F(Archive, StoredAndCompressedEntriesLoadWithOneDotEach) {
  const std::vector<uint8_t> picture = random_bytes(5000, 1);
  const std::vector<uint8_t> palette = bytes_of(std::string(768, 'p'));
  write_archive({{"pic.bin", picture, false}, {"pic.pal", palette, true}});
  EXPECT_EQ(open(), "Filesystem 3.10\n");
  EXPECT_EQ(archive_present, 1);
  ASSERT_EQ(archive_count, 2);

  ArchiveEntry entry;
  ASSERT_EQ(archive_find("pic.bin", &entry), 0);
  EXPECT_EQ(entry.offset, 4u + 2 * 26);
  EXPECT_EQ(entry.unpacked_size, 5000u);
  EXPECT_EQ(entry.method, 1);
  ASSERT_EQ(archive_find("pic.pal", &entry), 0);
  EXPECT_EQ(entry.method, 0);
  EXPECT_EQ(entry.stored_size, 768u);
  EXPECT_EQ(archive_find("pic", &entry), 1);

  Loaded a, b;
  EXPECT_EQ(load("pic.bin", &a) + load("pic.pal", &b), "..");
  EXPECT_EQ(a.bytes(), picture);
  EXPECT_EQ(b.bytes(), palette);
}

TEST_F(Archive, BannerIsWrittenWithoutAnArchiveAndLoadsGoToLooseFiles) {
  EXPECT_EQ(open("missing.dat"), "Filesystem 3.10\n");
  EXPECT_EQ(archive_present, 0);
  write_file("loose.bin", bytes_of("loose bytes"));
  Loaded loaded;
  EXPECT_EQ(load("loose.bin", &loaded), ".");
  EXPECT_EQ(loaded.bytes(), bytes_of("loose bytes"));
  EXPECT_EQ(failed_load("nowhere.bin"), "Could not open nowhere.bin\n");
  std::filesystem::create_directory("folder.bin");  // opens for reading on Linux, but is no file
  EXPECT_EQ(failed_load("folder.bin"), "Could not open folder.bin\n");
}

TEST_F(Archive, CountZeroLoadsEverythingLoose) {
  write_file("test.dat", raw_archive(0, {}));
  EXPECT_EQ(open(), "Filesystem 3.10\n");
  EXPECT_EQ(archive_present, 1);
  write_file("a.bin", bytes_of("A"));
  Loaded loaded;
  EXPECT_EQ(load("a.bin", &loaded), ".");
  EXPECT_EQ(loaded.bytes(), bytes_of("A"));
}

TEST_F(Archive, NamesMatchExactlyAndTheFirstOfTwoRecordsWins) {
  write_archive({{"Splash.bin", bytes_of("archived"), false},
                 {"dup.bin", bytes_of("first"), true},
                 {"dup.bi", bytes_of("other"), true}});
  // Records with the same name (the packer refuses to write them).
  std::vector<uint8_t> image = raw_archive(2, {record("dup.bin", 56, 5, 5, 0), record("dup.bin", 61, 6, 6, 0)},
                                           bytes_of("firstsecond"));
  write_file("dups.dat", image);
  write_file("splash.bin", bytes_of("loose"));

  open();
  Loaded upper, lower;
  load("Splash.bin", &upper);
  load("splash.bin", &lower);
  EXPECT_EQ(upper.bytes(), bytes_of("archived"));
  EXPECT_EQ(lower.bytes(), bytes_of("loose"));
  // Names in the archive match exactly; a loose file is found as the file system finds it
  // (on Windows without regard to case).
  if (std::filesystem::exists("SPLASH.BIN")) {
    Loaded loose;
    EXPECT_EQ(load("SPLASH.BIN", &loose), ".");
    EXPECT_EQ(loose.bytes(), bytes_of("loose"));
  } else {
    EXPECT_EQ(failed_load("SPLASH.BIN"), "Could not open SPLASH.BIN\n");
  }

  open("dups.dat");
  Loaded dup;
  load("dup.bin", &dup);
  EXPECT_EQ(dup.bytes(), bytes_of("first"));
}

TEST_F(Archive, ThirteenCharacterNameWithoutTerminator) {
  const std::string name = "abcdefghijklm";
  // The name's last byte is followed directly by the offset field.
  write_file("test.dat", raw_archive(1, {record(name, 30, 4, 4, 0)}, bytes_of("data")));
  open();
  ArchiveEntry entry;
  ASSERT_EQ(archive_find(name.c_str(), &entry), 0);
  EXPECT_EQ(entry.offset, 30u);
  EXPECT_EQ(archive_find("abcdefghijkl", &entry), 1);
  EXPECT_EQ(archive_find("abcdefghijklmn", &entry), 1);
  Loaded loaded;
  EXPECT_EQ(load(name.c_str(), &loaded), ".");
  EXPECT_EQ(loaded.bytes(), bytes_of("data"));
}

TEST_F(Archive, ShortStreamLeavesTheRestOfTheBlockZero) {
  write_file("test.dat", raw_archive(1, {record("seven", 30, 6, 12, 1)}, abababa_stream));
  open();
  Loaded loaded;
  EXPECT_EQ(load("seven", &loaded), ".");
  EXPECT_EQ(loaded.bytes(), bytes_of(std::string("ABABABA") + std::string(5, '\0')));
}

TEST_F(Archive, EmptyStoredEntryLoadsAsZeroBytes) {
  write_archive({{"empty", {}, false}});  // stored: no stream stands for nothing
  open();
  ArchiveEntry entry;
  ASSERT_EQ(archive_find("empty", &entry), 0);
  EXPECT_EQ(entry.method, 0);
  Loaded loaded;
  loaded.size = 99;
  EXPECT_EQ(load("empty", &loaded), ".");
  EXPECT_NE(loaded.block, nullptr);
  EXPECT_EQ(loaded.size, 0u);
}

TEST_F(Archive, SizeQueryGivesStoredSizeThenLooseLengthElseZero) {
  const std::vector<uint8_t> zeros(10000, 0);
  write_archive({{"zeros", zeros, false}});
  write_file("loose.bin", bytes_of("12345"));
  open();
  ArchiveEntry entry;
  ASSERT_EQ(archive_find("zeros", &entry), 0);
  std::string text = stdout_of([&] {
    EXPECT_EQ(archive_file_size("zeros"), entry.stored_size);  // the compressed size
    EXPECT_LT(entry.stored_size, 10000u);
    EXPECT_EQ(archive_file_size("loose.bin"), 5u);
    EXPECT_EQ(archive_file_size("nothing"), 0u);
  });
  EXPECT_EQ(text, "Could not find nothing\n");
}

TEST_F(Archive, CloseForgetsTheArchiveAndOpeningAgainReplacesIt) {
  write_archive({{"x", bytes_of("from first"), false}}, "first.dat");
  write_archive({{"y", bytes_of("from second"), false}}, "second.dat");
  open("first.dat");
  open("second.dat");
  ArchiveEntry entry;
  EXPECT_EQ(archive_find("x", &entry), 1);
  EXPECT_EQ(archive_find("y", &entry), 0);
  archive_close();
  archive_close();
  EXPECT_EQ(archive_present, 0);
  EXPECT_EQ(archive_find("y", &entry), 1);
  EXPECT_EQ(failed_load("y"), "Could not open y\n");
}

// Damaged directories: the archive is left absent with one line, loose files still load.
TEST_F(Archive, UnusableDirectoryLeavesTheArchiveAbsent) {
  struct Case {
    std::vector<uint8_t> image;
    std::string line;
  };
  const std::vector<uint8_t> one_record = record("a.bin", 56, 1, 1, 0);
  const std::vector<Case> cases = {
      {raw_archive(-1, {}), "entry count -1 is outside 0..300"},
      {raw_archive(301, std::vector<std::vector<uint8_t>>(301, one_record)), "entry count 301 is outside 0..300"},
      {raw_archive(INT32_MIN, {}), "entry count -2147483648 is outside 0..300"},
      {raw_archive(2, {one_record}), "directory of 2 entries runs past the end of the file"},
      {{1, 0}, "shorter than its entry count"},
      {{}, "shorter than its entry count"},
  };
  write_file("a.bin", bytes_of("loose a"));
  for (const Case& c : cases) {
    write_file("bad.dat", c.image);
    EXPECT_EQ(open("bad.dat"), "Filesystem 3.10\nIgnoring archive bad.dat: " + c.line + ", using loose files\n");
    EXPECT_EQ(archive_present, 0);
    EXPECT_EQ(archive_count, 0);
    Loaded loaded;
    EXPECT_EQ(load("a.bin", &loaded), ".");
    EXPECT_EQ(loaded.bytes(), bytes_of("loose a"));
  }
  std::filesystem::create_directory("folder.dat");
  EXPECT_EQ(open("folder.dat"),
            "Filesystem 3.10\nIgnoring archive folder.dat: not a regular file, using loose files\n");
  EXPECT_EQ(archive_present, 0);
}

TEST_F(Archive, FullDirectoryOf300Records) {
  std::vector<PackInput> files;
  for (int i = 0; i < 300; ++i) {
    PackInput file;
    file.name = std::to_string(i) + ".f";
    file.bytes = bytes_of(std::to_string(i * i));
    file.store = i % 2 == 0;
    files.push_back(file);
  }
  write_archive(files);
  EXPECT_EQ(open(), "Filesystem 3.10\n");
  EXPECT_EQ(archive_count, 300);
  Loaded last;
  load("299.f", &last);
  EXPECT_EQ(last.bytes(), bytes_of(std::to_string(299 * 299)));
}

TEST_F(Archive, EntriesRunningPastTheFileFailWithoutTouchingThePointer) {
  const std::string past = ".Could not load %: entry runs past the end of the archive\n";
  auto expected = [&](const std::string& name) {
    std::string text = past;
    return text.replace(text.find('%'), 1, name);
  };
  write_file("test.dat", raw_archive(4,
                                     {record("long", 108, 5, 5, 0), record("wrap", 0xFFFFFFF0u, 0x20, 0x20, 0),
                                      record("packed", 110, 6, 7, 1), record("far", 5000, 0, 0, 0)},
                                     bytes_of("abcd")));
  open();
  for (const char* name : {"long", "wrap", "packed", "far"}) EXPECT_EQ(failed_load(name), expected(name));
}

TEST_F(Archive, ShortReadFails) {
  // Large enough that the reads go past what stdio buffered while reading the directory.
  write_archive({{"big", random_bytes(100000, 3), true}, {"packed", random_bytes(100000, 4), false}});
  open();
  std::filesystem::resize_file("test.dat", 50000);  // cut after the directory was read
  EXPECT_EQ(failed_load("big"), ".Could not load big: short read\n");
  EXPECT_EQ(failed_load("packed"), ".Could not load packed: short read\n");
}

TEST_F(Archive, ImpossibleUnpackedSizesAreRefusedBeforeAllocating) {
  // Six stream bytes hold five codes at most, so at most 5 * 6 bytes.
  write_file("test.dat", raw_archive(3,
                                     {record("huge", 82, 6, 0xFFFFFFFFu, 1), record("zero", 82, 6, 0, 1),
                                      record("fits", 82, 6, 30, 1)},
                                     abababa_stream));
  open();
  const std::string refused = ": unpacked size does not fit its compressed size\n";
  EXPECT_EQ(failed_load("huge"), ".Could not load huge" + refused);
  EXPECT_EQ(failed_load("zero"), ".Could not load zero" + refused);
  Loaded fits;
  load("fits", &fits);
  EXPECT_EQ(fits.size, 30u);
}

// A stream may stop before the unpacked size: the block keeps that size and the rest is zero.
// Only sizes over the cap are refused, whatever the stream's length.
TEST_F(Archive, ShortStreamsLeaveTheRestOfTheBlockZero) {
  LzwBitWriter one_literal;
  one_literal.put('A', 9);
  one_literal.put(257, 9);
  const std::vector<uint8_t> literal = one_literal.finish();
  const std::vector<uint8_t> text = random_bytes(20000, 7);
  const std::vector<uint8_t> packed = lzw_encode(text.data(), text.size());
  std::vector<uint8_t> data = literal;
  data.insert(data.end(), packed.begin(), packed.end());
  const uint32_t literal_at = 4 + 4 * 26, packed_at = literal_at + uint32_t(literal.size());
  const uint32_t literal_size = uint32_t(literal.size()), packed_size = uint32_t(packed.size());
  write_file("test.dat", raw_archive(4,
                                     {record("one", literal_at, literal_size, 9, 1),
                                      record("early", packed_at, packed_size, 3000000, 1),
                                      record("cap", literal_at, literal_size, archive_max_unpacked_size, 1),
                                      record("over", literal_at, literal_size, archive_max_unpacked_size + 1, 1)},
                                     data));
  open();

  Loaded one;
  EXPECT_EQ(load("one", &one), ".");
  EXPECT_EQ(one.bytes(), std::vector<uint8_t>({'A', 0, 0, 0, 0, 0, 0, 0, 0}));

  Loaded early;
  load("early", &early);
  ASSERT_EQ(early.size, 3000000u);
  EXPECT_TRUE(std::equal(text.begin(), text.end(), early.block));
  EXPECT_EQ(std::count(early.block + text.size(), early.block + early.size, 0), 3000000 - 20000);

  Loaded cap;
  load("cap", &cap);
  ASSERT_EQ(cap.size, archive_max_unpacked_size);
  EXPECT_EQ(cap.block[0], 'A');
  EXPECT_EQ(std::count(cap.block + 1, cap.block + cap.size, 0), archive_max_unpacked_size - 1);
  EXPECT_EQ(failed_load("over"), ".Could not load over: unpacked size does not fit its compressed size\n");
}

TEST_F(Archive, DamagedStreamsFailWithoutTouchingThePointer) {
  LzwBitWriter no_end;
  no_end.put('A', 9);
  no_end.put('B', 9);
  LzwBitWriter bad_first;
  bad_first.put(300, 9);
  bad_first.put(257, 9);
  std::vector<uint8_t> data = abababa_stream;  // offset 108, ABABABA
  const std::vector<uint8_t> a = no_end.finish(), b = bad_first.finish();
  data.insert(data.end(), a.begin(), a.end());  // offset 114
  data.insert(data.end(), b.begin(), b.end());  // after it
  write_file("test.dat", raw_archive(4,
                                     {record("overrun", 108, 6, 6, 1), record("no_end", 114, uint32_t(a.size()), 2, 1),
                                      record("bad_first", 114 + uint32_t(a.size()), uint32_t(b.size()), 2, 1),
                                      record("exact", 108, 6, 7, 1)},
                                     data));
  open();
  for (const char* name : {"overrun", "no_end", "bad_first"}) {
    EXPECT_EQ(failed_load(name), std::string(".Could not load ") + name + ": damaged LZW stream\n");
  }
  Loaded exact;
  load("exact", &exact);
  EXPECT_EQ(exact.bytes(), bytes_of("ABABABA"));
}

}  // namespace
