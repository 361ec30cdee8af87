// Window placement in the registry (not built yet).
#include "settings/placement.h"

void restoreplacement(HWND, const char*) {}
void saveplacement(HWND, const char*) {}
