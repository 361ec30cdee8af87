// Small Win32 helpers shared by the dialogs.
#pragma once
#include <windows.h>

// Text of the calling thread's last error; release it with LocalFree. Never null.
char* syserrortext();
// Centres a window on the desktop without changing its size.
void centerdialog(HWND window);
