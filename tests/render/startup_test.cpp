// Start-up failures: each ends the program with exit code 1 and says why on standard error.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "host/startup.h"
#include "platform/headless/headless.h"
#include "tests/render_harness.h"

namespace {

// A scratch folder holding copies of the named files of the programs' folder.
class Folder {
 public:
  explicit Folder(const std::vector<std::string>& files) {
    char pattern[] = "/tmp/tarnwick-startup-XXXXXX";
    path_ = mkdtemp(pattern);
    char here[4096];
    bin_ = getcwd(here, sizeof here);
    for (const std::string& f : files) std::system(("cp " + bin_ + "/" + f + " " + path_ + "/").c_str());
  }
  ~Folder() { std::system(("rm -rf " + path_).c_str()); }
  void write(const std::string& name, size_t size) {
    const std::vector<uint8_t> bytes(size, 1);
    FILE* f = std::fopen((path_ + "/" + name).c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  // Runs tarnwick-render there; returns the exit code and what it printed.
  int render(const std::string& args, std::string* output) { return test_support::run_render(args, output, path_); }
  // Runs "PREFIX tarnwick-render" there, PREFIX a shell command or a program that runs the next.
  int render_through(const std::string& prefix, std::string* output) {
    return test_support::run_command("cd '" + path_ + "' && " + prefix + " '" + bin_ +
                                         "/tarnwick-render' --escape-at 1",
                                     output);
  }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
  std::string bin_;
};

TEST(Startup, WithoutTheModuleItCannotPlayTheFile) {
  Folder folder({"tarnwick.dat"});
  std::string output;
  EXPECT_EQ(folder.render("--escape-at 1", &output), 1);
  EXPECT_NE(output.find("Can't play the file"), std::string::npos) << output;
}

TEST(Startup, AMissingDataFileIsNamedBeforeAnythingIsShown) {
  Folder folder({"tarnwick.it"});  // no archive, no loose files
  std::string output;
  EXPECT_EQ(folder.render("--png frames --frames 1", &output), 1);
  EXPECT_NE(output.find("Could not open splash.bin"), std::string::npos) << output;
  EXPECT_NE(output.find("scroll.pal is missing"), std::string::npos) << output;
  // The last line alone (all a message box shows) names the first problem.
  EXPECT_NE(output.find("Can't load the show data: Data file splash.bin is missing\n"), std::string::npos) << output;
}

// Loose files beside the module stand in for the archive: each at least its size.
TEST(Startup, LooseFilesPlayAtTheirSizeAndAShortOneStopsTheShow) {
  const struct {
    const char* name;
    size_t size;
  } loose[] = {{"splash.bin", 64000},
               {"splash.pal", 768},
               {"sidebar.bin", 6400},
               {"scroll.bin", 320 * 1728},
               {"scroll.pal", 768}};
  for (const auto& short_one : loose) {
    Folder folder({"tarnwick.it"});
    for (const auto& file : loose) folder.write(file.name, &file == &short_one ? file.size - 1 : file.size);
    std::string output;
    EXPECT_EQ(folder.render("", &output), 1) << short_one.name;
    const std::string reason = std::string(short_one.name) + " is too short: " + std::to_string(short_one.size - 1) +
                               " bytes, needs " + std::to_string(short_one.size);
    EXPECT_NE(output.find(reason), std::string::npos) << output;
  }
  Folder folder({"tarnwick.it"});
  for (const auto& file : loose) folder.write(file.name, file.size);
  std::string output;
  EXPECT_EQ(folder.render("--escape-at 3", &output), 0) << output;
}

// Data that is there but cannot be used: each named, exit code 1, never an abort.
TEST(Startup, DataThatCannotBeReadIsNamedWithItsReason) {
  // Address space held to 2 GB, as on a small machine: a 3 GB module was once read whole.
  // AddressSanitizer cannot start so held; there the refusal alone is checked.
#ifdef __SANITIZE_ADDRESS__
  const std::string held = "";
#else
  const std::string held = "ulimit -v 2000000 &&";
#endif
  {
    Folder folder({"tarnwick.dat"});
    FILE* sparse = std::fopen(folder.file("tarnwick.it").c_str(), "wb");
    ASSERT_TRUE(sparse);
    std::fclose(sparse);
    ASSERT_EQ(truncate(folder.file("tarnwick.it").c_str(), 3LL << 30), 0);  // sparse: no disk used
    std::string output;
    EXPECT_EQ(folder.render_through(held, &output), 1) << output;
    EXPECT_NE(output.find("Can't play the file: tarnwick.it is too large: 3221225472 bytes, a module has at most 64 "
                          "MiB\n"),
              std::string::npos)
        << output;
  }
  {
    Folder folder({"tarnwick.dat"});
    ASSERT_EQ(symlink("/dev/zero", folder.file("tarnwick.it").c_str()), 0);
    std::string output;
    EXPECT_EQ(folder.render_through(held, &output), 1) << output;
    EXPECT_NE(output.find("Can't play the file: tarnwick.it is not a regular file\n"), std::string::npos) << output;
  }
  {
    // Root reads any file, so the program runs as nobody where the test runs as root.
    Folder folder({"tarnwick.dat", "tarnwick.it"});
    ASSERT_EQ(chmod(folder.file("").c_str(), 0755), 0);
    ASSERT_EQ(chmod(folder.file("tarnwick.dat").c_str(), 0), 0);
    ASSERT_EQ(chmod(folder.file("tarnwick.it").c_str(), 0644), 0);
    const bool root = geteuid() == 0;
    ASSERT_TRUE(!root || test_support::run_command("setpriv --version") == 0) << "setpriv is missing (util-linux)";
    std::string output;
    EXPECT_EQ(folder.render_through(root ? "setpriv --reuid=nobody --regid=nogroup --clear-groups" : "", &output), 1);
    EXPECT_NE(output.find("Filesystem 3.10\nCan't read tarnwick.dat: Permission denied\n"), std::string::npos)
        << output;
    EXPECT_NE(output.find("Can't load the show data: Can't read tarnwick.dat: Permission denied\n"), std::string::npos)
        << output;
    EXPECT_EQ(output.find("is missing"), std::string::npos) << output;
  }
}

TEST(StartupDeathTest, AnUncaughtAllocationFailureEndsWithALine) {
  EXPECT_EXIT(
      {
        exit_on_uncaught_allocation_failure();
        std::thread([] { throw std::bad_alloc(); }).join();
      },
      ::testing::ExitedWithCode(1), "^Out of memory\n$");
}

TEST(StartupDeathTest, NoWindowShowsTheDisplayPopupAndEnds) {
  EXPECT_EXIT(
      {
        headless_reset();
        headless_fail_window(true);
        const int code = show_main();
        for (const HeadlessPopup& popup : headless_popups()) std::fprintf(stderr, "popup: %s\n", popup.text.c_str());
        std::exit(code);
      },
      ::testing::ExitedWithCode(1),
      "Can't create the window: the headless window was told to fail\npopup: DirectDraw support is "
      "not possible with the current display driver. \n\nthe headless window was told to fail");
}

TEST(StartupDeathTest, NoSoundDeviceEndsWithItsReason) {
  EXPECT_EXIT(
      {
        headless_reset();
        headless_fail_music_device(true);
        std::exit(show_main());
      },
      ::testing::ExitedWithCode(1), "Can't initialize device: no audio device");
}

// Where no console is seen (a program started from the desktop), the platform also shows the
// line of standard error; a failure the display's popup has shown is not shown again.
TEST(StartupDeathTest, FailuresAreAlsoShownOnceWhereNoConsoleIsSeen) {
  EXPECT_EXIT(
      {
        headless_reset();
        headless_fail_music_device(true);
        const int code = show_main();
        for (const HeadlessPopup& box : headless_failures())
          std::fprintf(stderr, "box [%s] [%s]\n", box.title.c_str(), box.text.c_str());
        std::fprintf(stderr, "boxes %zu popups %zu\n", headless_failures().size(), headless_popups().size());
        std::exit(code);
      },
      ::testing::ExitedWithCode(1),
      "box \\[TORVAN TEST PROGRAM\\] \\[Can't initialize device: no audio device\\]\nboxes 1 popups 0");
  EXPECT_EXIT(
      {
        headless_reset();
        headless_fail_window(true);
        const int code = show_main();
        std::fprintf(stderr, "boxes %zu popups %zu\n", headless_failures().size(), headless_popups().size());
        std::exit(code);
      },
      ::testing::ExitedWithCode(1), "boxes 0 popups 1");
}

}  // namespace
