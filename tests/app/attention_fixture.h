// The main window in-process with records, a scripted probe, and the flash and
// notification calls replaced by recorders, for the tests of what a MAC change asks of the
// user. The foreground window is the desktop's, shared with every test that shows one:
// these suites run alone.
#pragma once
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <map>
#include <string>
#include <vector>
#include "app/attention.h"
#include "app/notice.h"
#include "common/state.h"
#include "common/winutil.h"
#include "hwtest.h"
#include "monitor/hostlist.h"
#include "monitor/namecache.h"
#include "monitor/patrol.h"
#include "monitor/probe.h"

inline std::map<int, unsigned char> answers;  // last octet -> last byte of the MAC that answers
inline int probes = 0;
inline int delayms = 0;

inline bool scripted(const Addr4& a, unsigned char mac[6]) {
    probes++;
    if (delayms) Sleep(delayms);
    auto it = answers.find(a.o[3]);
    if (it == answers.end()) return false;
    const unsigned char m[6] = {0x02, 0x77, 0x01, 0x00, 0x00, it->second};
    memcpy(mac, m, 6);
    return true;
}
inline bool nolookup(const Addr4&, char*, size_t) { return false; }

inline std::vector<FLASHWINFO> flashes;
inline BOOL WINAPI recordflash(PFLASHWINFO info) {
    flashes.push_back(*info);
    return TRUE;
}

// One notification call: its message, its data, and whether the window was still there.
struct NotifyCall {
    DWORD message;
    NOTIFYICONDATAA data;
    bool windowalive;
};
inline std::vector<NotifyCall> notifies;
inline int refusals = 0;  // the shell refuses this many calls first, as when busy at logon
inline BOOL WINAPI recordnotify(DWORD message, PNOTIFYICONDATAA data) {
    notifies.push_back({message, *data, IsWindow(data->hWnd) != 0});
    return refusals > 0 ? (refusals--, FALSE) : TRUE;
}

class AttentionSerial : public testing::Test {
protected:
    HWND front = nullptr;
    void SetUp() override {
        answers.clear();
        probes = delayms = 0;
        flashes.clear();
        notifies.clear();
        refusals = 0;
        probehook = scripted;
        reverselookup = nolookup;
        flashwindow = recordflash;
        shellnotify = recordnotify;
        exitrequest = false;  // a close in an earlier test of this process leaves it set
    }
    void TearDown() override {
        hwtest::closemainwindow();
        if (other.hProcess) {
            TerminateProcess(other.hProcess, 0);
            WaitForSingleObject(other.hProcess, 5000);
            CloseHandle(other.hProcess);
            CloseHandle(other.hThread);
        }
        hwtest::pump();
        probehook = nullptr;
        reverselookup = resolvename;
        flashwindow = FlashWindowEx;
        shellnotify = Shell_NotifyIconA;
        exitrequest = false;
    }
    // The main window, in front, with records for 10.77.1.1 to .n; those in `macs`
    // answered before with 02:77:01:00:00:<value>.
    void window(int n, const std::map<int, unsigned char>& macs) {
        ASSERT_NE(hwtest::makemainwindow(), nullptr);
        HostRecord* last = nullptr;
        for (int i = 1; i <= n; i++) {
            HostRecord* r = (HostRecord*)listappendafter(hostlisthead(), last, sizeof(HostRecord));
            r->addr = {{10, 77, 1, (unsigned char)i}};
            auto it = macs.find(i);
            if (it != macs.end()) {
                const unsigned char m[6] = {0x02, 0x77, 0x01, 0x00, 0x00, it->second};
                memcpy(r->mac, m, 6);
                r->replies = 1;
            }
            last = r;
        }
        SetForegroundWindow(mainwindow);
        hwtest::pump(50);
        ASSERT_EQ(GetForegroundWindow(), mainwindow);
    }
    // Another program's window takes the foreground, as on a user's desktop.
    PROCESS_INFORMATION other = {};
    void behind() {
        if (!other.hProcess) {
            STARTUPINFOA si = {sizeof si};
            char cmd[] = "notepad.exe";
            ASSERT_TRUE(CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                       &si, &other));
            WaitForInputIdle(other.hProcess, 5000);
            for (int i = 0; i < 500 && !front; i++) {
                Sleep(10);
                front = FindWindowA("Notepad", nullptr);
            }
            ASSERT_NE(front, nullptr);
        }
        SetForegroundWindow(front);
        hwtest::pump(50);
        ASSERT_EQ(GetForegroundWindow(), front);
    }
    // One patrol on this thread, then what it posted is handled.
    void patrol() {
        patrolthread();
        hwtest::pump(50);
    }
    int changelines() {
        int n = 0;
        for (auto& l : hwtest::viewlines()) n += l.rfind("MAC address changed for ", 0) == 0;
        return n;
    }
};
