// Asking for the user's attention when a patrol saw a MAC change.
#pragma once
#include <windows.h>

// The flash call; tests put their own here.
extern BOOL(WINAPI* flashwindow)(PFLASHWINFO info);

// The window is the foreground window and not minimised: the user sees its lines.
bool infront(HWND window);

// Flashes the window's taskbar button until it comes to the foreground, unless it is in
// front already or the program is closing.
void askattention(HWND window);
