// Keeps a Wine session warm during a test run: a message-only window and a wait.
#include <windows.h>

int main() {
    CreateWindowExA(0, "STATIC", "hwkeepalive", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                    nullptr);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(1000);
    }
}
