// The program's entry point: start-up, then the show.
#include "host/startup.h"
#include "platform/installed_data.h"

int main() {
  enter_installed_data_folder();
  return show_main();
}
