// The notification-area notice that names the addresses whose MAC changed while the
// user was not looking.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>

// The notification call; tests put their own here.
extern BOOL(WINAPI* shellnotify)(DWORD message, PNOTIFYICONDATAA data);

// The icon's messages to the main window: lParam is the mouse or balloon event.
const UINT WM_NOTICEICON = WM_APP + 2;
// The main window's timer that tries again to show an icon the shell refused, and its
// wait (10 s; tests shorten it).
const UINT_PTR noticetimer = 2;
extern UINT noticeretryms;
// Sent by the shell when its taskbar is created again; let in to `window`.
extern UINT taskbarcreated;
void registernotice(HWND window);

// Adds `lines` to the changes the user has not seen and shows the icon with a balloon
// naming them all (the icon there already gets the new balloon), unless there are none
// or the window is in front. When the shell refuses, the timer tries again.
void shownotice(HWND window, const std::vector<std::string>& lines);
// The timer's tick: tries again to show the icon.
void noticeretry(HWND window);
// Removes the icon when the window is in front (not minimised) now.
void noticeseen(HWND window);
// A click on the icon or its balloon: the window is restored and brought to the front.
void noticeclicked(HWND window, LPARAM event);
// Adds a pending icon again after the taskbar was created anew.
void noticeagain(HWND window);
// Removes the icon, if there is one, and forgets the changes it named: the user has
// looked.
void removenotice(HWND window);
