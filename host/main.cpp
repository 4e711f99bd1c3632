#include "host/startup.h"

int main() { return show_main(); }
