// Command-line front of the driver, for scripts:
//   hwdriver title                      main window title
//   hwdriver command ID                 post WM_COMMAND ID to the main window; ID is a
//                                       number or a menu command's name (IDM_PATROL)
//   hwdriver close                      post WM_CLOSE to the main window
//   hwdriver dialogs                    list visible dialogs: title<TAB>message
//   hwdriver press TITLE ID             click button ID of the dialog titled TITLE
//   hwdriver field TITLE ID [VALUE]     read or set a dialog field
//   hwdriver rect                       main window rectangle: left top right bottom
//   hwdriver repaint                    makes the main window paint itself whole again
//   hwdriver minimise | restore         minimises the main window, or restores it and
//                                       brings it to the foreground
//   hwdriver state                      "minimised", "front" or "behind"
//   hwdriver tray                       stands in for the notification area (see
//                                       trayproc) until a Hostwarden window has come and
//                                       gone, or 10 minutes: "ready, N trays" once it is
//                                       the first, then one line per notice call
#include "driver.h"
#include "resources/resource.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The menu commands by the names resource.h gives them.
static int commandid(const char* arg) {
#define HW_COMMAND(name) {#name, name}
    static const struct {
        const char* name;
        int id;
    } commands[] = {HW_COMMAND(IDM_EXIT),         HW_COMMAND(IDM_CONFIG),
                    HW_COMMAND(IDM_CLEAR),        HW_COMMAND(IDM_ABOUT),
                    HW_COMMAND(IDM_PATROL),       HW_COMMAND(IDM_DUMPARP),
                    HW_COMMAND(IDM_EXPORTSUMMARY), HW_COMMAND(IDM_EXPORTALL),
                    HW_COMMAND(IDM_RESETRECORDS), HW_COMMAND(IDM_REPORTTIME),
                    HW_COMMAND(IDM_LOOKUP),       HW_COMMAND(IDM_REPORTREPLIES),
                    HW_COMMAND(IDM_STOPPATROL),   HW_COMMAND(IDM_LOGS)};
#undef HW_COMMAND
    for (const auto& c : commands)
        if (!strcmp(arg, c.name)) return c.id;
    return atoi(arg);
}

static void find(drv::Program* p) {
    HWND w = FindWindowA("Hostwarden", nullptr);
    if (w) GetWindowThreadProcessId(w, &p->pid);
}

// Wine's shell32 hands each Shell_NotifyIcon call to the first top-level window of class
// "Shell_TrayWnd" as WM_COPYDATA (dwData: the NIM_ message). A topmost one made after the
// desktop's own comes first and gets them. The data's layout differs between Wine
// versions, so its texts are found by content: each run of at least three printable
// UTF-16 characters (line feeds shown as \n), tab-separated after the message's name.
static LRESULT CALLBACK trayproc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* cds = (const COPYDATASTRUCT*)lParam;
        static const char* names[] = {"add", "modify", "delete", "focus", "version"};
        std::string line = cds->dwData < 5 ? names[cds->dwData] : std::to_string(cds->dwData);
        const unsigned char* b = (const unsigned char*)cds->lpData;
        size_t n = cds->cbData / 2;
        for (size_t i = 0; i < n;) {
            std::string run;
            size_t j = i;
            for (; j < n; j++) {
                unsigned c = b[2 * j] | b[2 * j + 1] << 8;
                if (c == '\n')
                    run += "\\n";
                else if (c >= 0x20 && c < 0x7f)
                    run += (char)c;
                else
                    break;
            }
            if (run.size() >= 3) line += "\t" + run;
            i = j > i ? j : i + 1;
        }
        printf("%s\n", line.c_str());
        return TRUE;
    }
    if (message == WM_TIMER) {
        // A tray the desktop makes later would come first: this one goes back on top.
        static bool told = false;
        if (FindWindowA("Shell_TrayWnd", nullptr) != window) {
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            if (!told && FindWindowA("Shell_TrayWnd", nullptr) != window) {
                printf("not the first tray\n");
                told = true;
            }
        }
        static bool seen = false;
        bool there = FindWindowA("Hostwarden", nullptr) != nullptr;
        if ((seen && !there) || GetTickCount() - (DWORD)GetWindowLongPtrA(window, GWLP_USERDATA) > 600000)
            PostQuitMessage(0);
        seen = seen || there;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static BOOL CALLBACK counttray(HWND window, LPARAM count) {
    char cls[32];
    if (GetClassNameA(window, cls, sizeof cls) && !strcmp(cls, "Shell_TrayWnd")) ++*(int*)count;
    return TRUE;
}

static int tray() {
    setvbuf(stdout, nullptr, _IONBF, 0);
    GetDesktopWindow();  // the desktop, with its own tray, made before this one
    WNDCLASSA wc = {};
    wc.lpfnWndProc = trayproc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Shell_TrayWnd";
    if (!RegisterClassA(&wc)) return 1;
    HWND w = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "Shell_TrayWnd", "",
                             WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    if (!w) return 1;
    SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)GetTickCount());
    SetTimer(w, 1, 200, nullptr);
    int trays = 0;
    EnumWindows(counttray, (LPARAM)&trays);
    printf("%s, %d trays\n", FindWindowA("Shell_TrayWnd", nullptr) == w ? "ready" : "not the first tray", trays);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string verb = argv[1];
    if (verb == "tray") return tray();
    drv::Program p;  // found, not started: no process handle, so nothing is ended
    find(&p);
    HWND main = p.pid ? drv::mainwindow(p, 5000) : nullptr;
    if (verb == "dialogs") {
        for (const drv::Dialog& d : drv::dialogs(p)) printf("%s\t%s\n", d.title.c_str(), d.message.c_str());
        return 0;
    }
    if (!main) {
        fprintf(stderr, "no Hostwarden window\n");
        return 1;
    }
    if (verb == "title") {
        printf("%s\n", drv::text(main).c_str());
    } else if (verb == "command" && argc > 2) {
        drv::command(main, commandid(argv[2]));
    } else if (verb == "close") {
        PostMessageA(main, WM_CLOSE, 0, 0);
    } else if (verb == "repaint") {
        RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    } else if (verb == "minimise") {
        PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (verb == "restore") {
        SendMessageTimeoutA(main, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_BLOCK, 5000, nullptr);
        SetForegroundWindow(main);
    } else if (verb == "state") {
        printf("%s\n", IsIconic(main) ? "minimised" : GetForegroundWindow() == main ? "front" : "behind");
    } else if (verb == "rect") {
        RECT r;
        GetWindowRect(main, &r);
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    } else if ((verb == "press" || verb == "field") && argc > 3) {
        HWND d = drv::waitdialog(p, argv[2], 5000);
        if (!d) return 1;
        if (verb == "press")
            drv::press(d, atoi(argv[3]));
        else if (argc > 4)
            drv::setfield(d, atoi(argv[3]), argv[4]);
        else
            printf("%s\n", drv::field(d, atoi(argv[3])).c_str());
    } else {
        return 2;
    }
    return 0;
}
