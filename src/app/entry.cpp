// Process entry: networking library, window class, main window, message loop.
#include "app/entry.h"
#include "app/mainwnd.h"
#include "common/notices.h"
#include "common/state.h"
#include "resources/resource.h"
#include "settings/profile.h"
#include <winsock2.h>

bool registermainclass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = mainwndproc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_HOSTWARDEN));
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszMenuName = progname;
    wc.lpszClassName = progname;
    return RegisterClassA(&wc) != 0;
}

HWND createmainwindow(HINSTANCE instance) {
    return CreateWindowExA(0, progname, progname, WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, instance, nullptr);
}

int hostwardenmain(HINSTANCE instance, int show) {
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 1), &wsa) != 0) {
        msgbox(captionerror, "Failed to find Winsock 2.1 or better.");
        return 1;
    }
    profileinit();
    HWND window = registermainclass(instance) ? createmainwindow(instance) : nullptr;
    if (!window) {
        WSACleanup();
        return 0;
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    WSACleanup();
    return (int)msg.wParam;
}
