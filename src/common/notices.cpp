#include "app/notices.h"
#include "app/winutil.h"
#include <stdarg.h>
#include <stdio.h>

const char captionerror[] = "Error";
const char captionfailure[] = "Failure";
noticefn noticehook = nullptr;

unsigned msgboxstyle(const char* caption) {
    if (caption == captionerror) return MB_OK | MB_TASKMODAL | MB_ICONHAND;
    if (caption == captionfailure) return MB_OK | MB_TASKMODAL | MB_ICONEXCLAMATION;
    return MB_OK | MB_TASKMODAL;
}

// vsnprintf cuts an over-long text at 1023 characters and always terminates it.
void msgbox(const char* caption, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    unsigned style = msgboxstyle(caption);
    if (noticehook) {
        noticehook(caption, text, style);
        return;
    }
    MessageBoxA(GetActiveWindow(), text, caption, style);
}

void debugprintf(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    OutputDebugStringA(text);
}

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
