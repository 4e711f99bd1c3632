// The main loop, which start-up hands the show to.
#pragma once
#include <cstdint>

// Runs the show until the end screen or the quit message; returns the exit code.
int32_t run_main_loop();
