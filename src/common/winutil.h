// Window helpers shared by every subsystem, and the main window's handle.
#pragma once
#include <windows.h>

// The main window, stored when it is created; every part that needs it uses this.
extern HWND mainwindow;

// Posted to the main window by a patrol that printed a MAC change.
const UINT WM_MACCHANGED = WM_APP + 1;
// Posted to the main window by the profile's writer when it has something to tell.
const UINT WM_PROFILENOTICE = WM_APP + 3;
// Posted to the main window by the events' thread when it has something to tell.
const UINT WM_EVENTNOTICE = WM_APP + 4;

// Text of the calling thread's last error; release it with LocalFree. Never null.
char* syserrortext();
// Centres a window on the desktop without changing its size.
void centerdialog(HWND window);
