// The taskbar flash asked for when a patrol saw a MAC change while the window was not in
// front: with a scripted probe and the flash call replaced. The foreground window is the
// desktop's, shared with every test that shows one: the suite runs alone.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <map>
#include <string>
#include <vector>
#include "app/attention.h"
#include "common/state.h"
#include "common/winutil.h"
#include "hwtest.h"
#include "monitor/hostlist.h"
#include "monitor/namecache.h"
#include "monitor/patrol.h"
#include "monitor/probe.h"

namespace {

std::map<int, unsigned char> answers;  // last octet -> last byte of the MAC that answers
int probes = 0;
int delayms = 0;

bool scripted(const Addr4& a, unsigned char mac[6]) {
    probes++;
    if (delayms) Sleep(delayms);
    auto it = answers.find(a.o[3]);
    if (it == answers.end()) return false;
    const unsigned char m[6] = {0x02, 0x77, 0x01, 0x00, 0x00, it->second};
    memcpy(mac, m, 6);
    return true;
}
hostent* WSAAPI nolookup(const char*, int, int) { return nullptr; }

std::vector<FLASHWINFO> flashes;
BOOL WINAPI recordflash(PFLASHWINFO info) {
    flashes.push_back(*info);
    return TRUE;
}

class AttentionSerial : public testing::Test {
protected:
    HWND front = nullptr;
    void SetUp() override {
        answers.clear();
        probes = delayms = 0;
        flashes.clear();
        probehook = scripted;
        reverselookup = nolookup;
        flashwindow = recordflash;
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
        reverselookup = gethostbyaddr;
        flashwindow = FlashWindowEx;
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

TEST_F(AttentionSerial, AChangeWhileMinimisedAsksOnceWithTheFlagsWhateverTheirNumber) {
    window(4, {{1, 0x01}, {2, 0x02}, {3, 0x03}});
    ShowWindow(mainwindow, SW_MINIMIZE);
    hwtest::pump(50);
    ASSERT_TRUE(IsIconic(mainwindow));
    answers = {{1, 0x01}, {2, 0x22}, {3, 0x33}};  // .2 and .3 answer with new MACs
    patrol();
    EXPECT_EQ(changelines(), 2);
    ASSERT_EQ(flashes.size(), 1u);
    EXPECT_EQ(flashes[0].cbSize, sizeof(FLASHWINFO));
    EXPECT_EQ(flashes[0].hwnd, mainwindow);
    EXPECT_EQ(flashes[0].dwFlags, (DWORD)(FLASHW_ALL | FLASHW_TIMERNOFG));
    EXPECT_EQ(flashes[0].uCount, 0u);
    EXPECT_EQ(flashes[0].dwTimeout, 0u);
    // The next patrol sees the same MACs and a silent one: nothing more is asked.
    answers = {{1, 0x01}, {2, 0x22}};
    patrol();
    EXPECT_EQ(changelines(), 2);
    EXPECT_EQ(flashes.size(), 1u);
}

// Behind another program's window. A whole patrol cannot show this case under Wine: there
// the save's busy indicator takes the foreground from the other program (Windows' foreground
// lock does not let a background program do so) and hands it to the main window, which then
// is in front when the patrol's message is handled.
TEST_F(AttentionSerial, BehindAnotherProgramTheWindowAsksWhenTheMessageComes) {
    window(1, {});
    PostMessageA(mainwindow, WM_MACCHANGED, 0, 0);
    hwtest::pump(50);
    EXPECT_EQ(flashes.size(), 0u);  // in front
    behind();
    PostMessageA(mainwindow, WM_MACCHANGED, 0, 0);
    hwtest::pump(50);
    ASSERT_EQ(flashes.size(), 1u);
    EXPECT_EQ(flashes[0].hwnd, mainwindow);
    EXPECT_EQ(flashes[0].dwFlags, (DWORD)(FLASHW_ALL | FLASHW_TIMERNOFG));
}

TEST_F(AttentionSerial, NothingIsAskedInFrontOrWithoutAChange) {
    window(3, {{1, 0x01}, {2, 0x02}});
    answers = {{1, 0x11}};  // a change, with the window in front
    patrol();
    EXPECT_EQ(changelines(), 1);
    EXPECT_EQ(flashes.size(), 0u);
    // Minimised: the same MAC again and a silent one are no change.
    ShowWindow(mainwindow, SW_MINIMIZE);
    hwtest::pump(50);
    ASSERT_TRUE(IsIconic(mainwindow));
    patrol();
    EXPECT_EQ(changelines(), 1);
    EXPECT_EQ(flashes.size(), 0u);
}

TEST_F(AttentionSerial, APatrolEndedByACloseAsksNothing) {
    // Ranges in the profile, so that the creation sequence starts the patrol on its thread;
    // the first address changes MAC, and the window is behind another when it closes.
    hwtest::writeini("SOFTWARE\\Hostwarden\\lowhost=10 77 1 1\r\n"
                     "SOFTWARE\\Hostwarden\\highhost=10 77 1 40\r\n"
                     "SOFTWARE\\Hostwarden\\10.77.1.1=02 77 01 00 00 01 1 0 1700000000 1700000000\r\n");
    delayms = 50;
    answers = {{1, 0x11}};
    behind();
    ASSERT_NE(hwtest::makemainwindow(), nullptr);
    SetForegroundWindow(front);
    for (int i = 0; i < 100 && probes < 3; i++) Sleep(10);
    ASSERT_TRUE(patrolling);
    hwtest::closemainwindow();
    EXPECT_FALSE(patrolling);
    hwtest::pump(50);
    EXPECT_EQ(flashes.size(), 0u);
    // The change was seen and saved all the same.
    EXPECT_EQ(hwtest::profilevalue("SOFTWARE\\Hostwarden\\10.77.1.1").substr(0, 17), "02 77 01 00 00 11");
}

}  // namespace
