// The busy indicator: a modeless window with a caption line, a progress bar and a percentage.
#pragma once
#include <windows.h>

HWND busymessage(HWND owner, const char* text);
void setbusypercent(HWND window, int percent);
