// window-probe TITLE: prints the text of every dialog window titled TITLE, one line each:
// "popup: TEXT" for the display's popup (text control 102), "box: TEXT" for a system message
// box (its static text, control 0xFFFF). Exit code 0 when one was found, 1 otherwise. Runs in
// the same Wine session as the program it looks at.
#include <windows.h>

#include <cstdio>

namespace {

const char* wanted_title = "";
int found = 0;

BOOL CALLBACK look_at(HWND window, LPARAM) {
  char class_name[64] = "";
  char title[256] = "";
  GetClassNameA(window, class_name, sizeof class_name);
  GetWindowTextA(window, title, sizeof title);
  if (lstrcmpA(class_name, "#32770") != 0 || lstrcmpA(title, wanted_title) != 0) return TRUE;
  char text[2048] = "";
  if (GetDlgItem(window, 102)) {
    GetDlgItemTextA(window, 102, text, sizeof text);
    std::printf("popup: %s\n", text);
    ++found;
  } else if (GetDlgItem(window, 0xFFFF)) {
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    std::printf("box: %s\n", text);
    ++found;
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window-probe TITLE\n");
    return 2;
  }
  wanted_title = argv[1];
  EnumWindows(look_at, 0);
  return found > 0 ? 0 : 1;
}
