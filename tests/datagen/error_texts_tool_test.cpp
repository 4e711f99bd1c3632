// make-error-texts on a bad table fails and leaves the committed file as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "display/error_texts.h"
#include "tests/render_harness.h"

TEST(ErrorTextsTool, TextNotPlainAsciiLeavesTheExistingFileWhole) {
  const std::string base = "/tmp/tarnwick-error-texts-" + std::to_string(getpid());
  const std::string table = base + ".tsv", out = base + ".cpp";
  {
    std::ofstream tsv(table);
    tsv << "DD_OK\t0x0\t\n";
    for (int32_t i = 1; i < display_error_text_count - 1; ++i)
      tsv << "DDERR_CASE" << i << "\t0x8876" << 1000 + i << "\tText " << i << "\n";
    tsv << "DDERR_LAST\t0x88762000\tCaf\xc3\xa9\n";  // the last row, after many good ones
  }
  const std::string kept = "// the file as it was\n";
  std::ofstream(out) << kept;

  const std::string command = MAKE_ERROR_TEXTS_PATH " " + table + " " + out + " 2> /dev/null";
  EXPECT_NE(std::system(command.c_str()), 0);
  const std::vector<uint8_t> after = test_support::read_file(out);
  EXPECT_EQ(std::string(after.begin(), after.end()), kept);

  std::remove(table.c_str());
  std::remove(out.c_str());
}
