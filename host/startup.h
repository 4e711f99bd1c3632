// Start-up: everything in its fixed order, then the main loop.
#pragma once
#include <cstdint>

// The program: returns its exit code (0 at the end of the show or on Escape, 1 when start-up
// fails, with the reason on standard error).
int32_t show_main();
// Makes an allocation failure that nothing catches end the program with "Out of memory" on
// standard error and exit code 1, instead of an abort; show_main does it first.
void exit_on_uncaught_allocation_failure();
