#include "driver.h"

namespace drv {

std::string programpath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    size_t cut = s.find_last_of("\\/");
    s = s.substr(0, cut);                 // .../tests/e2e
    for (int up = 0; up < 2; up++) s = s.substr(0, s.find_last_of("\\/"));
    return s + "\\Hostwarden.exe";
}

bool start(const std::string& workdir, Program* p, const std::string& exe) {
    STARTUPINFOA si = {sizeof si};
    PROCESS_INFORMATION pi;
    std::string cmd = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workdir.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    p->process = pi.hProcess;
    p->pid = pi.dwProcessId;
    return true;
}

struct Search {
    DWORD pid;
    const char* cls;
    HWND found;
    std::vector<HWND> all;
};

static BOOL CALLBACK collect(HWND w, LPARAM lp) {
    Search* s = (Search*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != s->pid || !IsWindowVisible(w)) return TRUE;
    char cls[64];
    GetClassNameA(w, cls, sizeof cls);
    if (!strcmp(cls, s->cls)) s->all.push_back(w);
    return TRUE;
}

static std::vector<HWND> windows(DWORD pid, const char* cls) {
    Search s = {pid, cls, nullptr, {}};
    EnumWindows(collect, (LPARAM)&s);
    return s.all;
}

HWND findwindow(const Program& p, const char* cls, DWORD timeoutms) {
    DWORD start = GetTickCount();
    do {
        std::vector<HWND> w = windows(p.pid, cls);
        if (!w.empty()) return w[0];
        Sleep(50);
    } while (GetTickCount() - start < timeoutms);
    return nullptr;
}

HWND mainwindow(const Program& p, DWORD timeoutms) { return findwindow(p, "Hostwarden", timeoutms); }

std::string text(HWND window) {
    char buf[1024] = "";
    GetWindowTextA(window, buf, sizeof buf);
    return buf;
}

void command(HWND window, int id) { PostMessageA(window, WM_COMMAND, id, 0); }

int waitexit(Program& p, DWORD timeoutms) {
    if (WaitForSingleObject(p.process, timeoutms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(p.process, &code);
    CloseHandle(p.process);
    p.process = nullptr;
    return (int)code;
}

Program::~Program() { kill(*this); }

void kill(Program& p) {
    if (!p.process) return;
    TerminateProcess(p.process, 99);
    WaitForSingleObject(p.process, 5000);
    CloseHandle(p.process);
    p.process = nullptr;
}

std::vector<Dialog> dialogs(const Program& p) {
    std::vector<Dialog> out;
    for (HWND w : windows(p.pid, "#32770")) {
        HWND st = GetDlgItem(w, 0xFFFF);
        out.push_back({w, text(w), st ? text(st) : ""});
    }
    return out;
}

HWND waitdialog(const Program& p, const std::string& title, DWORD timeoutms) {
    DWORD start = GetTickCount();
    do {
        for (const Dialog& d : dialogs(p))
            if (d.title == title) return d.window;
        Sleep(50);
    } while (GetTickCount() - start < timeoutms);
    return nullptr;
}

void press(HWND dialog, int button) {
    HWND b = GetDlgItem(dialog, button);
    if (b)
        SendMessageA(b, BM_CLICK, 0, 0);
    else
        PostMessageA(dialog, WM_COMMAND, button, 0);
}

std::string field(HWND dialog, int id) {
    char buf[1024] = "";
    GetDlgItemTextA(dialog, id, buf, sizeof buf);
    return buf;
}

void setfield(HWND dialog, int id, const std::string& value) {
    SetDlgItemTextA(dialog, id, value.c_str());
}

bool answerfiledialog(const Program& p, const std::string& title, const std::string& path,
                      DWORD timeoutms) {
    HWND d = waitdialog(p, title, timeoutms);
    if (!d) return false;
    const int filenamefield = 0x47c;
    DWORD start = GetTickCount();
    while (!GetDlgItem(d, filenamefield) && GetTickCount() - start < timeoutms) Sleep(50);
    Sleep(200);  // let the dialog finish filling its folder view
    setfield(d, filenamefield, path);
    press(d, IDOK);
    while (IsWindow(d) && IsWindowVisible(d)) {
        if (GetTickCount() - start > timeoutms) return false;
        Sleep(50);
    }
    return true;
}

}  // namespace drv
