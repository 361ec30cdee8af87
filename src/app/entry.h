// Process entry: the networking library, the window class, the main window and the
// message loop.
#pragma once
#include <windows.h>

bool registermainclass(HINSTANCE instance);
HWND createmainwindow(HINSTANCE instance);
int hostwardenmain(HINSTANCE instance, int show);
