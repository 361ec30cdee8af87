// The report dialog: the range to report on, remembered between openings.
#pragma once
#include <windows.h>
#include "common/state.h"

// The report range, loaded whenever the report dialog opens.
extern Addr4 reportlow, reporthigh;
INT_PTR CALLBACK reportDlg_Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
