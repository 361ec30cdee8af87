#include "common/winutil.h"
#include <stdio.h>

HWND mainwindow = nullptr;

// When the system has no text for the code, a text naming the code is made in the same
// kind of memory, so callers can always print it and free it with LocalFree.
char* syserrortext() {
    DWORD code = GetLastError();
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                             code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&text, 0,
                             nullptr);
    if (n && text) return text;
    text = (char*)LocalAlloc(LMEM_FIXED, 64);
    if (text) snprintf(text, 64, "Unknown error %lu\r\n", (unsigned long)code);
    return text;
}

void centerdialog(HWND window) {
    RECT d, w;
    GetWindowRect(GetDesktopWindow(), &d);
    GetWindowRect(window, &w);
    int x = d.left + ((d.right - d.left) - (w.right - w.left)) / 2;
    int y = d.top + ((d.bottom - d.top) - (w.bottom - w.top)) / 2;
    SetWindowPos(window, HWND_NOTOPMOST, x, y, 0, 0, SWP_NOSIZE);
}
