// Host reports, exports, the ARP table dump and the vendor lookup.
#pragma once
#include <windows.h>
#include "app/state.h"
#include "reports/hostreport.h"

// The report range, loaded whenever the report dialog opens.
extern Addr4 reportlow, reporthigh;
INT_PTR CALLBACK reportDlg_Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the open-file dialog preset from the path remembered under key and remembers
// the choice. True with the full path in path (260 bytes); false when cancelled.
bool choosefile(const char* key, const char* filter, const char* title, DWORD flags,
                char* path);
void exportfile(int command);
void dumparptable();
void companylookup();
