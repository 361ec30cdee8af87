// The configuration dialog: the period and the two ranges.
#pragma once
#include <windows.h>

INT_PTR CALLBACK configDlg_Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Rebuilds the HostList from the ranges OK has just applied (loadrecords). The records
// live above the settings, so the main window sets it when it is created.
extern bool (*rebuildrecords)();
// Test seam for the period timer's restart on OK (SetTimer by default).
extern UINT_PTR(WINAPI* configsettimer)(HWND, UINT_PTR, UINT, TIMERPROC);
