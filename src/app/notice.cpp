// The notification-area notice that names the addresses whose MAC changed while the
// user was not looking.
#include "app/notice.h"
#include "app/attention.h"
#include "app/noticetext.h"
#include "resources/resource.h"
#include <stddef.h>

BOOL(WINAPI* shellnotify)(DWORD message, PNOTIFYICONDATAA data) = Shell_NotifyIconA;
UINT taskbarcreated;

// The size that Vista and later understand, balloon icon included.
static_assert(sizeof(NOTIFYICONDATAA) == offsetof(NOTIFYICONDATAA, hBalloonIcon) + sizeof(HICON),
              "NOTIFYICONDATAA of Vista and later");

// The icon while news is unseen (kept to add it again for a new taskbar), and the
// changes it names, gathered until the user looks.
static NOTIFYICONDATAA notice;
static bool pending = false;
static UnseenChanges unseen;

void registernotice() {
    taskbarcreated = RegisterWindowMessageA("TaskbarCreated");
    // An elevated program would not receive it from the shell otherwise.
    ChangeWindowMessageFilter(taskbarcreated, MSGFLT_ADD);
}

void shownotice(HWND window, const std::vector<std::string>& lines) {
    if (lines.empty() || infront(window)) return;
    addunseen(unseen, lines);
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);
    notice = {};
    notice.cbSize = sizeof notice;
    notice.hWnd = window;
    notice.uID = 1;
    notice.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    notice.uCallbackMessage = WM_NOTICEICON;
    notice.hIcon = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(IDI_HOSTWARDEN), IMAGE_ICON,
                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                     LR_SHARED);
    GetWindowTextA(window, notice.szTip, sizeof notice.szTip);
    GetWindowTextA(window, notice.szInfoTitle, sizeof notice.szInfoTitle);
    noticetext(notice.szInfo, sizeof notice.szInfo, unseen);
    notice.dwInfoFlags = NIIF_INFO;
    // The icon already there gets the balloon that names every unseen change.
    if (!pending || !shellnotify(NIM_MODIFY, &notice)) shellnotify(NIM_ADD, &notice);
    pending = true;
}

void removenotice(HWND window) {
    if (!pending) return;
    pending = false;
    unseen = {};
    NOTIFYICONDATAA gone = {};
    gone.cbSize = sizeof gone;
    gone.hWnd = window;
    gone.uID = notice.uID;
    shellnotify(NIM_DELETE, &gone);
}

void noticeseen(HWND window) {
    if (pending && infront(window)) removenotice(window);
}

void noticeclicked(HWND window, LPARAM event) {
    switch (LOWORD(event)) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case NIN_BALLOONUSERCLICK:
        if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
        removenotice(window);
        break;
    }
}

void noticeagain() {
    if (pending) shellnotify(NIM_ADD, &notice);
}
