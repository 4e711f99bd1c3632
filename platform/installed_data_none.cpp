// Systems whose programs start beside their data (a Windows folder, the web page's files) have
// no installed data folder to look for.
#include "platform/installed_data.h"

bool enter_installed_data_folder() { return false; }
