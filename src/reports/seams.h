// Test seams of the reports: the file dialog and the ARP table read (the system's by
// default), and the ARP buffer's allocation (malloc by default).
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <iphlpapi.h>
#include <stddef.h>

extern BOOL(WINAPI* openfiledialog)(OPENFILENAMEA* ofn);
extern DWORD(WINAPI* readarptable)(PMIB_IPNETTABLE table, PULONG size, BOOL order);
extern void* (*arpalloc)(size_t bytes);
