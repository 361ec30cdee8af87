// The output view's scroll bars, scrolling keys and mouse wheel.
#pragma once
#include <windows.h>

void twVSCROLL(int request, int position);
void twHSCROLL(int request, int position);
void twKEYDOWN(HWND window, WPARAM key);
void getwheelstep();
void twMOUSEWHEEL(HWND window, WPARAM wParam);
