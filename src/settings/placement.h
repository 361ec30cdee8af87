// The main window's placement in the registry under SOFTWARE\Hostwarden.
#pragma once
#include <windows.h>

void restoreplacement(HWND window, const char* name);
void saveplacement(HWND window, const char* name);
