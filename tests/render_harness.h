// Runs tarnwick-render (built next to the tests' working directory) and reads what it wrote.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The Windows test build runs under Wine: commands go through cmd.exe, whose exit code is the
// program's.
#ifdef _WIN32
#include <process.h>
#define TEST_SUPPORT_RENDER "tarnwick-render.exe"
inline int test_support_pid() { return _getpid(); }
inline FILE* test_support_open_command(const char* command) { return _popen(command, "rb"); }
inline int test_support_close_command(FILE* pipe) { return _pclose(pipe); }
#else
#include <sys/wait.h>
#include <unistd.h>
#define TEST_SUPPORT_RENDER "./tarnwick-render"
inline int test_support_pid() { return getpid(); }
inline FILE* test_support_open_command(const char* command) { return popen(command, "r"); }
inline int test_support_close_command(FILE* pipe) {
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

namespace test_support {

// A name for a scratch file in the working directory that no other test process uses at the
// same time (ctest runs test programs in parallel).
inline std::string scratch_name(const std::string& stem, const std::string& extension) {
  static int serial = 0;
  return stem + "-" + std::to_string(test_support_pid()) + "-" + std::to_string(++serial) + extension;
}

// Runs a shell command with standard error joined to standard output; returns its exit code
// (-1 when it could not run) and, if asked, what it wrote.
inline int run_command(const std::string& command, std::string* output = nullptr) {
  FILE* pipe = test_support_open_command((command + " 2>&1").c_str());
  if (!pipe) return -1;
  std::string text;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) text.append(chunk, n);
  const int code = test_support_close_command(pipe);
  if (output) *output = text;
  return code;
}

// Runs "./tarnwick-render ARGS" in the working directory (or the one from there in folder, which
// then holds the show data); returns its exit code.
inline int run_render(const std::string& args, std::string* output = nullptr, const std::string& folder = "") {
  const std::string program = folder.empty() ? std::string(TEST_SUPPORT_RENDER)
                                             : "cd '" + folder + "' && '" + std::filesystem::current_path().string() +
                                                   "/tarnwick-render'";
  return run_command(program + " " + args, output);
}

inline std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// 64-bit FNV-1a, as 16 hex digits.
inline std::string fnv1a_hex(const std::vector<uint8_t>& bytes) {
  uint64_t h = 14695981039346656037ull;
  for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

// Frame of the scene harness: scene S run for N passes of T ticks each; extra options appended
// (for example "--beat-at 3" or "--start FILE"). Empty on failure.
inline std::vector<uint8_t> render_scene(int scene, int passes, int ticks, const std::string& extra = "") {
  const std::string raw = scratch_name("harness", ".raw");
  const std::string args = "--scene " + std::to_string(scene) + " --passes " + std::to_string(passes) + " --ticks " +
                           std::to_string(ticks) + " --raw " + raw + " " + extra;
  std::vector<uint8_t> frame;
  if (run_render(args) == 0) frame = read_file(raw);
  std::remove(raw.c_str());
  return frame;
}

}  // namespace test_support
