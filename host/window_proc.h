// The window: created at start-up; its procedure handles activation and Escape.
#pragma once
#include "platform/window.h"

bool create_main_window();
void main_window_proc(const WindowMessage& message);
