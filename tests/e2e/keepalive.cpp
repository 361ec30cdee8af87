// Keeps a Wine session warm during a test run: a hidden window (so the session's desktop
// is up) and a wait. Prints "ready" once the window exists, for the script that waits.
#include <windows.h>
#include <stdio.h>

int main() {
    HWND w = CreateWindowExA(0, "STATIC", "hwkeepalive", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             nullptr, nullptr);
    if (!w || !GetDesktopWindow()) return 1;
    printf("ready\n");
    fflush(stdout);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(1000);
    }
}
