// The main window: its procedure, creation and shutdown sequences.
#pragma once
#include <windows.h>

LRESULT CALLBACK mainwndproc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Safe to run more than once: a second run finds no patrol, no log and no records.
void shutdownsequence();
