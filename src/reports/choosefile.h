// The file choice with a remembered path, shared by the exports and the vendor lookup.
#pragma once
#include <windows.h>
#include <commdlg.h>

// Runs the open-file dialog preset from the path remembered under key and remembers
// the choice. True with the full path in path (260 bytes); false when cancelled.
bool choosefile(const char* key, const char* filter, const char* title, DWORD flags,
                char* path);

// Test seam: the file dialog (GetOpenFileNameA by default).
extern BOOL(WINAPI* openfiledialog)(OPENFILENAMEA* ofn);
