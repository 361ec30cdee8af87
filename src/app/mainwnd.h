// The main window: its procedure, creation and shutdown sequences.
#pragma once
#include <windows.h>

LRESULT CALLBACK mainwndproc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Safe to run more than once: a second run finds no patrol, no log and no records. At a
// logoff (`logoff`) the records are saved first, and Windows is told why the program
// waits for its saves.
void shutdownsequence(bool logoff = false);
