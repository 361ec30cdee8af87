// Host reports, exports, the ARP table dump and the vendor lookup.
#pragma once
#include <windows.h>
#include "app/state.h"

INT_PTR CALLBACK reportDlg_Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void hostreport(const Addr4& low, const Addr4& high, int kind);

bool choosefile(const char* key, const char* filter, const char* title, DWORD flags,
                char* path);  // path: 260 bytes
void exportfile(int command);
void dumparptable();
void companylookup();
