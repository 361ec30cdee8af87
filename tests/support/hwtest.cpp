#include "hwtest.h"
#include <windows.h>
#include <mutex>
#include <stdio.h>
#include <string.h>
#include "common/clock.h"
#include "common/notices.h"
#include "textview/linebuffer.h"
#include "app/entry.h"
#include "common/winutil.h"
#include "settings/profile.h"

namespace hwtest {

std::string cwd() {
    char dir[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, dir);
    return dir;
}

std::string profilevalue(const std::string& key) {
    char buf[profilebuf] = "";
    return getprofile(key.c_str(), buf) ? std::string(buf) : std::string("<absent>");
}

void writeini(const std::string& lines) { writefile("Hostwarden.INI", "[Hostwarden]\r\n" + lines); }

static std::mutex noticemutex;
static std::vector<Notice> captured;

static void capture(const char* caption, const char* text, unsigned style) {
    std::lock_guard<std::mutex> g(noticemutex);
    captured.push_back({caption, text, style});
}

Notices::Notices() {
    clear();
    noticehook = capture;
}
Notices::~Notices() { noticehook = nullptr; }
const std::vector<Notice>& Notices::all() const { return captured; }
void Notices::clear() {
    std::lock_guard<std::mutex> g(noticemutex);
    captured.clear();
}

static long long fixednow;
static long long fixed() { return fixednow; }
FixedClock::FixedClock(long long now) {
    fixednow = now;
    clockhook = fixed;
}
FixedClock::~FixedClock() { clockhook = nullptr; }
void FixedClock::set(long long now) { fixednow = now; }

void clearregistry() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Hostwarden");
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Hostwarden");
}

std::string readfile(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return "";
    std::string s;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    fclose(f);
    return s;
}

void writefile(const char* path, const std::string& content) {
    FILE* f = fopen(path, "wb");
    if (!f) return;
    fwrite(content.data(), 1, content.size(), f);
    fclose(f);
}

std::vector<std::string> viewlines() {
    std::vector<std::string> v;
    EnterCriticalSection(&lb.lock);
    for (OutputLine* l = lb.first; l; l = l->next) v.push_back(l->text);
    LeaveCriticalSection(&lb.lock);
    return v;
}

void* makemainwindow() {
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registered) registered = registermainclass(instance);
    HWND w = createmainwindow(instance);
    if (w) {
        ShowWindow(w, SW_SHOWNORMAL);
        UpdateWindow(w);
        pump();
    }
    return w;
}

void closemainwindow() {
    if (mainwindow && IsWindow(mainwindow)) SendMessageA(mainwindow, WM_CLOSE, 0, 0);
    pump();
}

void pump(int ms) {
    DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms) Sleep(5);
    } while ((int)(end - GetTickCount()) > 0);
}

}  // namespace hwtest
