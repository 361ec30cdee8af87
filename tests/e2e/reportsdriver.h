// Shared by the report, export and lookup end-to-end tests: a prepared profile, the
// program's guarded commands, and the log the program writes of its output.
#pragma once
#include <gtest/gtest.h>
#include <inttypes.h>
#include <stdio.h>
#include <time.h>
#include <string>
#include <vector>
#include "driver.h"
#include "hwtest.h"

namespace e2erep {

// "SOFTWARE\Hostwarden\<key>=<value>" lines for the profile.
inline std::string key(const std::string& name, const std::string& value) {
    return "SOFTWARE\\Hostwarden\\" + name + "=" + value + "\r\n";
}

inline std::string record(const std::string& addr, const char* mac, int replies, int misses,
                          long long firstseen, long long lastreply) {
    char v[128];
    snprintf(v, sizeof v, "%s %d %d %" PRId64 " %" PRId64, mac, replies, misses,
             (int64_t)firstseen, (int64_t)lastreply);
    return key(addr, v);
}

// Splits a CR LF text into its lines.
inline std::vector<std::string> crlflines(const std::string& text) {
    std::vector<std::string> v;
    size_t at = 0;
    while (at < text.size()) {
        size_t lf = text.find("\r\n", at);
        if (lf == std::string::npos) {
            v.push_back(text.substr(at));
            break;
        }
        v.push_back(text.substr(at, lf - at));
        at = lf + 2;
    }
    return v;
}

// The one log file of this working directory, read after the program ended.
inline std::vector<std::string> loglines() {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("HostwardenLog*.txt", &fd);
    if (h == INVALID_HANDLE_VALUE) return {};
    FindClose(h);
    return crlflines(hwtest::readfile(fd.cFileName));
}

inline HWND messagebox(const drv::Program& p, std::string* text) {
    for (const drv::Dialog& d : drv::dialogs(p))
        if (!d.message.empty()) {
            *text = d.message;
            return d.window;
        }
    return nullptr;
}

// Posts a command that opens a dialog with this title; while the start-up patrol runs
// the program refuses it, and the command is posted again once the refusal is
// answered. The dialog, or null; a message box shown instead is noted in `lastbox`.
inline std::string lastbox;
inline HWND opendialog(const drv::Program& p, HWND w, int id, const std::string& title,
                       DWORD timeoutms = 30000) {
    lastbox.clear();
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutms) {
        drv::command(w, id);
        for (int i = 0; i < 60; i++) {
            for (const drv::Dialog& d : drv::dialogs(p))
                if (d.title == title) return d.window;
            std::string text;
            if (HWND box = messagebox(p, &text)) {
                // The report dialog's "to" static has the id of a message box's text: a
                // dialog that appeared since the look above is the one wanted.
                if (drv::text(box) == title) return box;
                if (text != "Can't do that while patrolling!") {
                    lastbox = drv::text(box) + ": " + text;
                    return nullptr;
                }
                drv::press(box, IDOK);
                Sleep(300);
                break;
            }
            Sleep(50);
        }
    }
    return nullptr;
}

// Clicks a button without waiting for what it starts: a click that opens a modal box
// (a help text, a refusal) would otherwise hold the driver until that box is closed.
inline void click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

inline bool gone(HWND d, DWORD timeoutms = 10000) {
    DWORD start = GetTickCount();
    while (IsWindow(d) && IsWindowVisible(d)) {
        if (GetTickCount() - start > timeoutms) return false;
        Sleep(50);
    }
    return true;
}

inline void closeprogram(drv::Program& p, HWND w) {
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(drv::waitexit(p, 60000), 0);
    if (p.process) drv::kill(p);
}

// Where the lines of want begin, one after another, in log, searching from `from`; npos if not.
inline size_t findlines(const std::vector<std::string>& log,
                        const std::vector<std::string>& want, size_t from = 0) {
    for (size_t i = from; i + want.size() <= log.size(); i++) {
        bool all = true;
        for (size_t k = 0; k < want.size() && all; k++) all = log[i + k] == want[k];
        if (all) return i;
    }
    return std::string::npos;
}

// True when every line of want appears in log, in that order (other lines between,
// such as a patrol's, allowed).
inline bool insequence(const std::vector<std::string>& log, const std::vector<std::string>& want) {
    size_t k = 0;
    for (size_t i = 0; i < log.size() && k < want.size(); i++)
        if (log[i] == want[k]) k++;
    return k == want.size();
}

inline std::string joined(const std::vector<std::string>& v) {
    std::string s;
    for (const std::string& l : v) s += l + "\n";
    return s;
}

}  // namespace e2erep
