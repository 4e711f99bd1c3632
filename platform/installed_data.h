// Where a program finds the show data. The show reads "tarnwick.dat" and "tarnwick.it" from the
// current folder, and that stays first; an installed program started anywhere else (from a
// desktop menu, say) reads the data folder installed with it instead. A program's entry calls
// enter_installed_data_folder() before start-up; the core never sees any of this, and a platform
// that always starts beside its data needs none of it.
#pragma once
#include <string>

// The data folder of a program at exe_path: its folder joined with `relative` (the installed
// layout's path from the programs to the data, "../share/tarnwick"); "" when exe_path names no
// folder.
std::string installed_data_folder(const std::string& exe_path, const std::string& relative);

// True when `folder` ("" = the current one) holds "tarnwick.dat" or "tarnwick.it".
bool holds_show_data(const std::string& folder);

// When the current folder holds neither data file and the installed data folder of the running
// program holds one, makes that folder current; true when it did.
bool enter_installed_data_folder();
