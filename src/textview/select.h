// The output view's mouse selection and its context menu.
#pragma once
#include <windows.h>

void twBUTTONDOWN(HWND window, WPARAM keyflags, LPARAM point);
void twMOUSEMOVE(HWND window, WPARAM keyflags, LPARAM point);
// The line and column under a client point; false when the view holds no line.
bool getcoords(LPARAM point, int* line, int* col);
