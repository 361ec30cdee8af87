#include "common/notices.h"
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>

const char captionerror[] = "Error";
const char captionfailure[] = "Failure";
noticefn noticehook = nullptr;
int noticechoice = IDCANCEL;

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

int msgboxchoice(const char* caption, unsigned buttons, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    unsigned style = (msgboxstyle(caption) & ~MB_TYPEMASK) | buttons;
    if (noticehook) {
        noticehook(caption, text, style);
        return noticechoice;
    }
    return MessageBoxA(GetActiveWindow(), text, caption, style);
}

void debugprintf(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    OutputDebugStringA(text);
}
