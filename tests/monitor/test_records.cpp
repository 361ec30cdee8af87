// The HostList built from the ranges and the profile, saved back, and reset; the busy
// indicator's progress is watched through the messages its controls receive.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <thread>
#include <vector>
#include "hwtest.h"
#include "common/clock.h"
#include "common/state.h"
#include "monitor/hostlist.h"
#include "monitor/records.h"
#include "settings/profile.h"
#include "textview/output.h"
#include "common/winutil.h"
#include "resources/resource.h"

using namespace hwtest;

namespace {

// Busy indicators created on this thread, and the texts their percentage shows.
struct BusyWatch {
    static std::vector<std::string> captions, percents;
    static std::vector<HWND> dialogs;
    HHOOK cbt, callwnd;
    BusyWatch() {
        captions.clear(), percents.clear(), dialogs.clear();
        cbt = SetWindowsHookExA(WH_CBT, oncbt, nullptr, GetCurrentThreadId());
        callwnd = SetWindowsHookExA(WH_CALLWNDPROC, oncall, nullptr, GetCurrentThreadId());
    }
    ~BusyWatch() {
        UnhookWindowsHookEx(cbt);
        UnhookWindowsHookEx(callwnd);
    }
    static LRESULT CALLBACK oncbt(int code, WPARAM wp, LPARAM lp) {
        if (code == HCBT_CREATEWND) {
            char cls[16] = "";
            GetClassNameA((HWND)wp, cls, sizeof cls);
            if (!strcmp(cls, "#32770")) dialogs.push_back((HWND)wp);
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static LRESULT CALLBACK oncall(int code, WPARAM wp, LPARAM lp) {
        CWPSTRUCT* c = (CWPSTRUCT*)lp;
        if (code == HC_ACTION && c->message == WM_SETTEXT &&
            (GetWindowLongA(c->hwnd, GWL_STYLE) & WS_CHILD)) {
            int id = GetDlgCtrlID(c->hwnd);
            if (id == 103) percents.push_back((const char*)c->lParam);
            if (id == 101) captions.push_back((const char*)c->lParam);
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static bool anyalive() {
        for (HWND d : dialogs)
            if (IsWindow(d)) return true;
        return false;
    }
};
std::vector<std::string> BusyWatch::captions, BusyWatch::percents;
std::vector<HWND> BusyWatch::dialogs;

std::vector<std::string> listaddresses() {
    std::vector<std::string> v;
    for (HostRecord* r = hostlist; r; r = r->next) {
        char buf[32];
        snprintf(buf, sizeof buf, "%d.%d.%d.%d", r->addr.o[0], r->addr.o[1], r->addr.o[2], r->addr.o[3]);
        v.push_back(buf);
    }
    return v;
}

typedef std::vector<std::string> Texts;

// The main window without ranges, so no patrol runs; the ranges are set afterwards.
class Records : public testing::Test {
protected:
    Notices notices;
    void SetUp() override {
        ASSERT_NE(makemainwindow(), nullptr);
        exitrequest = false;
    }
    void TearDown() override {
        exitrequest = false;
        lowhost = highhost = lowhost2 = highhost2 = Addr4{};
        listdiscard(hostlisthead());
        closemainwindow();
    }
    void ranges(Addr4 l1, Addr4 h1, Addr4 l2 = {}, Addr4 h2 = {}) {
        lowhost = l1, highhost = h1, lowhost2 = l2, highhost2 = h2;
    }
};

TEST_F(Records, RangeIsBuiltInOrderWithPercentagesUpToOneHundred) {
    ranges({{192, 168, 1, 10}}, {{192, 168, 1, 12}});
    BusyWatch watch;
    ASSERT_TRUE(loadrecords());
    EXPECT_EQ(listaddresses(), (Texts{"192.168.1.10", "192.168.1.11", "192.168.1.12"}));
    EXPECT_EQ(watch.captions, (Texts{"Loading records..."}));
    EXPECT_EQ(watch.percents, (Texts{"0%", "33%", "66%", "100%"}));
    ASSERT_EQ(watch.dialogs.size(), 1u);
    EXPECT_FALSE(watch.anyalive());
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(Records, SingleAddressRangesShowOneHundredAndFiftyPercent) {
    ranges({{10, 77, 0, 7}}, {{10, 77, 0, 7}});
    {
        BusyWatch watch;
        ASSERT_TRUE(loadrecords());
        EXPECT_EQ(listaddresses(), (Texts{"10.77.0.7"}));
        EXPECT_EQ(watch.percents, (Texts{"0%", "100%"}));
    }
    ranges({{10, 77, 0, 7}}, {{10, 77, 0, 7}}, {{10, 77, 5, 1}}, {{10, 77, 5, 1}});
    BusyWatch watch;
    ASSERT_TRUE(loadrecords());
    EXPECT_EQ(listaddresses(), (Texts{"10.77.0.7", "10.77.5.1"}));
    EXPECT_EQ(watch.percents, (Texts{"0%", "50%", "100%"}));
}

TEST_F(Records, BothRangesEmptyGiveAnEmptyListAndSucceed) {
    ranges({{10, 77, 0, 1}}, {{10, 77, 0, 3}});
    ASSERT_TRUE(loadrecords());
    ASSERT_NE(hostlist, nullptr);
    ranges({}, {{10, 77, 0, 3}}, {}, {{10, 77, 0, 3}});
    BusyWatch watch;
    EXPECT_TRUE(loadrecords());
    EXPECT_EQ(hostlist, nullptr);
    EXPECT_EQ(watch.percents, (Texts{"0%"}));
    EXPECT_FALSE(watch.anyalive());
}

TEST_F(Records, HighBelowLowAddsNothingAndOnlyTheLowAddressGivesTheSubnet) {
    ranges({{10, 77, 0, 9}}, {{10, 77, 0, 8}}, {{10, 77, 2, 254}}, {{99, 99, 99, 255}});
    BusyWatch watch;
    ASSERT_TRUE(loadrecords());
    EXPECT_EQ(listaddresses(), (Texts{"10.77.2.254", "10.77.2.255"}));
    EXPECT_EQ(watch.percents, (Texts{"0%", "50%", "100%"}));
}

TEST_F(Records, StoredLinesAreRestoredAndBadOnesGiveFreshRecords) {
    FixedClock clock(1700000000);
    writeini("SOFTWARE\\Hostwarden\\10.77.0.1=00 1a 2b 3c 4d 1ff 52 3 1600000000 1699999000\r\n"
             "SOFTWARE\\Hostwarden\\10.77.0.2=00 1a 2b 3c 4d 5e 52 3 1600000000\r\n"
             "SOFTWARE\\Hostwarden\\10.77.0.3=00:1a:2b:3c:4d:5e 52 3 1600000000 1699999000\r\n");
    ranges({{10, 77, 0, 1}}, {{10, 77, 0, 4}});
    ASSERT_TRUE(loadrecords());
    HostRecord* r = hostlist;
    ASSERT_NE(r, nullptr);
    const unsigned char mac[6] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0xff};
    EXPECT_EQ(memcmp(r->mac, mac, 6), 0);
    EXPECT_EQ(r->replies, 52);
    EXPECT_EQ(r->misses, 3);
    EXPECT_EQ(r->firstseen, 1600000000);
    EXPECT_EQ(r->lastreply, 1699999000);
    // Nine fields, a colon-separated MAC, and no line at all: fresh records.
    for (int i = 0; i < 3; i++) {
        r = r->next;
        ASSERT_NE(r, nullptr);
        const unsigned char zero[6] = {};
        EXPECT_EQ(memcmp(r->mac, zero, 6), 0) << i;
        EXPECT_EQ(r->replies, 0) << i;
        EXPECT_EQ(r->misses, 0) << i;
        EXPECT_EQ(r->firstseen, 1700000000) << i;
        EXPECT_EQ(r->lastreply, 0) << i;
    }
    EXPECT_EQ(r->next, nullptr);
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(Records, EveryFieldSurvivesASaveAndALoad) {
    ranges({{10, 77, 0, 1}}, {{10, 77, 0, 2}});
    ASSERT_TRUE(loadrecords());
    HostRecord* a = hostlist;
    HostRecord* b = a->next;
    const unsigned char mac[6] = {0xde, 0xad, 0x00, 0x0b, 0xee, 0xef};
    memcpy(a->mac, mac, 6);
    a->replies = 2147483647;
    a->misses = -3;
    a->firstseen = -86400;
    a->lastreply = 1LL << 40;
    b->replies = -2147483647 - 1;
    b->misses = 7;
    b->firstseen = 9223372036854775807LL;
    b->lastreply = -9223372036854775807LL - 1;
    saverecords();
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\10.77.0.1"),
              "de ad 00 0b ee ef 2147483647 -3 -86400 1099511627776");
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\10.77.0.2"),
              "00 00 00 00 00 00 -2147483648 7 9223372036854775807 -9223372036854775808");
    ASSERT_TRUE(loadrecords());
    a = hostlist;
    b = a->next;
    EXPECT_EQ(memcmp(a->mac, mac, 6), 0);
    EXPECT_EQ(a->replies, 2147483647);
    EXPECT_EQ(a->misses, -3);
    EXPECT_EQ(a->firstseen, -86400);
    EXPECT_EQ(a->lastreply, 1LL << 40);
    EXPECT_EQ(b->replies, -2147483647 - 1);
    EXPECT_EQ(b->misses, 7);
    EXPECT_EQ(b->firstseen, 9223372036854775807LL);
    EXPECT_EQ(b->lastreply, -9223372036854775807LL - 1);
}

TEST_F(Records, LoadingDiscardsChangesNotYetSaved) {
    writeini("SOFTWARE\\Hostwarden\\10.77.0.1=01 02 03 04 05 06 10 1 1000 2000\r\n");
    ranges({{10, 77, 0, 1}}, {{10, 77, 0, 1}});
    ASSERT_TRUE(loadrecords());
    resetrecords();
    hostlist->misses = 40;
    ASSERT_TRUE(loadrecords());
    EXPECT_EQ(hostlist->mac[5], 6);
    EXPECT_EQ(hostlist->replies, 10);
    EXPECT_EQ(hostlist->misses, 1);
    EXPECT_EQ(hostlist->firstseen, 1000);
}

TEST_F(Records, ResetKeepsTheLastReplyAndClearsTheView) {
    FixedClock clock(1800000000);
    writeini("SOFTWARE\\Hostwarden\\10.77.0.1=01 02 03 04 05 06 10 1 1000 2000\r\n"
             "SOFTWARE\\Hostwarden\\10.77.0.2=0a 0b 0c 0d 0e 0f 5 5 3000 4000\r\n");
    ranges({{10, 77, 0, 1}}, {{10, 77, 0, 2}});
    ASSERT_TRUE(loadrecords());
    twprintf("a line");
    ASSERT_FALSE(viewlines().empty());
    SendMessageA(mainwindow, WM_COMMAND, IDM_RESETRECORDS, 0);
    EXPECT_TRUE(viewlines().empty());
    long long last[2] = {2000, 4000};
    int i = 0;
    for (HostRecord* r = hostlist; r; r = r->next, i++) {
        const unsigned char zero[6] = {};
        EXPECT_EQ(memcmp(r->mac, zero, 6), 0);
        EXPECT_EQ(r->replies, 0);
        EXPECT_EQ(r->misses, 0);
        EXPECT_EQ(r->firstseen, 1800000000);
        EXPECT_EQ(r->lastreply, last[i]);
    }
    EXPECT_EQ(i, 2);
    // Nothing reaches the profile before the next save.
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\10.77.0.1"), "01 02 03 04 05 06 10 1 1000 2000");
    saverecords();
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\10.77.0.1"), "00 00 00 00 00 00 0 0 1800000000 2000");
}

TEST_F(Records, SavingShowsTheIndicatorUnlessMinimisedOrClosing) {
    ranges({{10, 77, 0, 1}}, {{10, 77, 0, 4}});
    ASSERT_TRUE(loadrecords());
    {
        BusyWatch watch;
        saverecords();
        EXPECT_EQ(watch.captions, (Texts{"Saving records..."}));
        EXPECT_EQ(watch.percents, (Texts{"0%", "25%", "50%", "75%", "100%"}));
        EXPECT_FALSE(watch.anyalive());
    }
    DeleteFileA("Hostwarden.INI");
    ShowWindow(mainwindow, SW_MINIMIZE);
    pump();
    ASSERT_TRUE(GetWindowLongA(mainwindow, GWL_STYLE) & WS_MINIMIZE);
    {
        BusyWatch watch;
        saverecords();
        EXPECT_TRUE(watch.dialogs.empty());
        EXPECT_TRUE(watch.percents.empty());
    }
    for (int o = 1; o <= 4; o++) {
        std::string key = "SOFTWARE\\Hostwarden\\10.77.0." + std::to_string(o);
        EXPECT_EQ(profilevalue(key).substr(0, 17), "00 00 00 00 00 00") << key;
    }
    ShowWindow(mainwindow, SW_RESTORE);
    exitrequest = true;
    BusyWatch watch;
    saverecords();
    EXPECT_TRUE(watch.dialogs.empty());
}

TEST_F(Records, SavingAfterTheRangesChangedCountsTheListItself) {
    ranges({{10, 77, 0, 1}}, {{10, 77, 0, 2}});
    ASSERT_TRUE(loadrecords());
    // As if the configuration dialog had cleared the ranges without rebuilding the list.
    ranges({}, {});
    BusyWatch watch;
    saverecords();
    EXPECT_EQ(watch.percents, (Texts{"0%", "50%", "100%"}));
    EXPECT_NE(profilevalue("SOFTWARE\\Hostwarden\\10.77.0.2"), "<absent>");
}

TEST_F(Records, EmptyListSavesNothingAndShowsNoIndicator) {
    BusyWatch watch;
    saverecords();
    EXPECT_TRUE(watch.dialogs.empty());
    EXPECT_EQ(notices.size(), 0u);
}

// The patrol saves on its own thread: the indicator lives and dies there, and the save
// must not need the window thread, which may be waiting for the patrol without
// dispatching messages.
TEST_F(Records, SaveOnAnotherThreadDoesNotWaitForTheWindowThread) {
    ranges({{10, 77, 0, 1}}, {{10, 77, 0, 20}});
    ASSERT_TRUE(loadrecords());
    DWORD start = GetTickCount();
    size_t shown = 0;
    std::vector<std::string> percents;
    std::thread patrol([&] {
        BusyWatch watch;  // hooks of the saving thread
        saverecords();
        shown = watch.dialogs.size();
        percents = watch.percents;
    });
    patrol.join();  // the window thread dispatches nothing meanwhile
    EXPECT_EQ(shown, 1u);
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), "100%");
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_NE(profilevalue("SOFTWARE\\Hostwarden\\10.77.0.20"), "<absent>");
    pump(50);
}

}  // namespace
