// The running program's own location comes from /proc/self/exe, so an install under any prefix
// finds its data, and a symbolic link to the program (e.g. in /usr/games) resolves to the real one.
#include "platform/installed_data.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file (not a folder) of that name is there; a dangling link counts as absent.
bool file_there(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string own_executable_path() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return "";  // unknown or cut short
  return std::string(path, static_cast<size_t>(length));
}

}  // namespace

std::string installed_data_folder(const std::string& exe_path, const std::string& relative) {
  const size_t slash = exe_path.rfind('/');
  if (slash == std::string::npos) return "";
  return exe_path.substr(0, slash + 1) + relative;
}

bool holds_show_data(const std::string& folder) {
  const std::string prefix = folder.empty() ? "" : folder + "/";
  return file_there(prefix + "tarnwick.dat") || file_there(prefix + "tarnwick.it");
}

bool enter_installed_data_folder() {
  if (holds_show_data("")) return false;
  const std::string folder = installed_data_folder(own_executable_path(), TARNWICK_DATA_FROM_BIN);
  if (folder.empty() || !holds_show_data(folder)) return false;
  return chdir(folder.c_str()) == 0;
}
