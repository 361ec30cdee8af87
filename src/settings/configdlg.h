// The configuration dialog and the two address checks it shares with the report dialog.
#pragma once
#include <windows.h>
#include "app/state.h"

INT_PTR CALLBACK configDlg_Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
bool readaddressfield(HWND dialog, int id, Addr4* addr);
bool checkrange(const Addr4& low, const Addr4& high);

// Test seam for the period timer's restart on OK (SetTimer by default).
extern UINT_PTR(WINAPI* configsettimer)(HWND, UINT_PTR, UINT, TIMERPROC);
