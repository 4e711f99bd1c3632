// Where a program finds the show data: the current folder first, else the installed folder
// found from the program's own location. install_test.sh runs the installed programs for real.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/installed_data.h"

namespace {

TEST(InstalledData, FolderIsFoundBesideTheProgramsFolder) {
  EXPECT_EQ(installed_data_folder("/usr/bin/tarnwick", "../share/tarnwick"), "/usr/bin/../share/tarnwick");
  EXPECT_EQ(installed_data_folder("/opt/show dir/bin/tarnwick-render", "../share/tarnwick"),
            "/opt/show dir/bin/../share/tarnwick");
  EXPECT_EQ(installed_data_folder("/tarnwick", "share/tarnwick"), "/share/tarnwick");
  EXPECT_EQ(installed_data_folder("tarnwick", "../share/tarnwick"), "") << "no folder to start from";
  EXPECT_EQ(installed_data_folder("", "../share/tarnwick"), "");
}

class DataFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tarnwick-data-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }
  void touch(const std::string& name) {
    FILE* f = std::fopen((folder_ + "/" + name).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  std::string folder_;
};

TEST_F(DataFolder, EitherDataFileIsEnoughAndNothingElseCounts) {
  EXPECT_FALSE(holds_show_data(folder_)) << "empty";
  touch("tarnwick.DAT");
  touch("splash.bin");
  EXPECT_FALSE(holds_show_data(folder_)) << "names are exact; loose files alone are not the show";
  ASSERT_EQ(mkdir((folder_ + "/tarnwick.dat").c_str(), 0700), 0);
  EXPECT_FALSE(holds_show_data(folder_)) << "a folder of that name is no data file";
  ASSERT_EQ(symlink("/nonexistent/tarnwick.it", (folder_ + "/tarnwick.it").c_str()), 0);
  EXPECT_FALSE(holds_show_data(folder_)) << "a dangling link is no data file";
  std::remove((folder_ + "/tarnwick.it").c_str());
  touch("tarnwick.it");
  EXPECT_TRUE(holds_show_data(folder_)) << "the module alone";
  std::remove((folder_ + "/tarnwick.it").c_str());
  ASSERT_EQ(rmdir((folder_ + "/tarnwick.dat").c_str()), 0);
  touch("tarnwick.dat");
  EXPECT_TRUE(holds_show_data(folder_)) << "the archive alone";
}

}  // namespace
