// The notification-area notice that names the addresses whose MAC changed while the
// user was not looking.
#include "app/notice.h"
#include "app/attention.h"
#include "app/noticetext.h"
#include "common/state.h"
#include "resources/resource.h"
#include <stddef.h>
#include <stdio.h>

BOOL(WINAPI* shellnotify)(DWORD message, PNOTIFYICONDATAA data) = Shell_NotifyIconA;
UINT taskbarcreated;
UINT noticeretryms = 10000;

// The size that Vista and later understand, balloon icon included.
static_assert(sizeof(NOTIFYICONDATAA) == offsetof(NOTIFYICONDATAA, hBalloonIcon) + sizeof(HICON),
              "NOTIFYICONDATAA of Vista and later");

// The icon while news is unseen (kept to add it again for a new taskbar), and the
// changes it names, gathered until the user looks.
static NOTIFYICONDATAA notice;
static bool pending = false;
static UnseenChanges unseen;

// An elevated program gets the shell's message only through its message filter. The
// window's own filter (Windows 7 and later) lets it in to this window alone; Vista has
// only the process-wide one, and the program still starts there.
static void letin(HWND window, UINT message) {
    typedef BOOL(WINAPI * FilterEx)(HWND, UINT, DWORD, void*);
    const DWORD allow = 1;  // MSGFLT_ALLOW
    FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx");
    if (found)
        reinterpret_cast<FilterEx>(reinterpret_cast<void (*)()>(found))(window, message, allow, nullptr);
    else
        ChangeWindowMessageFilter(message, MSGFLT_ADD);
}

void registernotice(HWND window) {
    taskbarcreated = RegisterWindowMessageA("TaskbarCreated");
    letin(window, taskbarcreated);
}

// The shell is busy at logon: Shell_NotifyIcon then fails (no taskbar yet, or no answer
// within its timeout). The timer tries again until it lands or the user looks; each try
// starts the wait afresh, so a shell that does not answer leaves the window time between.
static void refused(HWND window) { SetTimer(window, noticetimer, noticeretryms, nullptr); }

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
    // Without a GUID, Windows finds the user's show/hide choice for an icon by the exe's
    // path, and among its icons by the id, the tip and the picture: a tip without the
    // version keeps the choice across an upgrade in the same folder. No GUID: Windows
    // binds one to the first path that used it and refuses the icon from any other, and
    // the zip runs from wherever it was unpacked.
    snprintf(notice.szTip, sizeof notice.szTip, "%s", progname);
    GetWindowTextA(window, notice.szInfoTitle, sizeof notice.szInfoTitle);
    noticetext(notice.szInfo, sizeof notice.szInfo, unseen);
    notice.dwInfoFlags = NIIF_INFO;
    // The icon already there gets the balloon that names every unseen change.
    if (!(pending && shellnotify(NIM_MODIFY, &notice)) && !shellnotify(NIM_ADD, &notice))
        refused(window);
    pending = true;
}

void noticeretry(HWND window) {
    // A call that failed on its timeout may still have added the icon: then the add is
    // refused and the change lands.
    if (!pending || shellnotify(NIM_ADD, &notice) || shellnotify(NIM_MODIFY, &notice))
        KillTimer(window, noticetimer);
    else
        refused(window);
}

void removenotice(HWND window) {
    if (!pending) return;
    pending = false;
    unseen = {};
    KillTimer(window, noticetimer);
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

void noticeagain(HWND window) {
    if (pending && !shellnotify(NIM_ADD, &notice)) refused(window);
}
