// The menu's commands.
#pragma once
#include <windows.h>

extern const char abouttext[];

// Runs the command `id` (a menu item, or the view's context menu), refusing those that
// must not run while a patrol does.
void dispatchcommand(HWND window, int id);
// Reads the log switch from the profile; with toggle, flips it and writes it back. When
// logging is on afterwards, a new file named for the current time is opened. Keeps the
// menu's check mark in step. Window thread.
void setuplog(bool toggle);
