// The user's side of the output view: scroll bars, keys, wheel, mouse selection, copy.
#pragma once
#include <windows.h>

void twVSCROLL(int request, int position);
void twHSCROLL(int request, int position);
void twKEYDOWN(HWND window, WPARAM key);
void getwheelstep();
void twMOUSEWHEEL(HWND window, WPARAM wParam);
void twBUTTONDOWN(HWND window, WPARAM keyflags, LPARAM point);
void twMOUSEMOVE(HWND window, WPARAM keyflags, LPARAM point);
bool getcoords(LPARAM point, int* line, int* col);
bool copyllsel(HWND window);
