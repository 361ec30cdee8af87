// The configuration dialog run in-process over the real main window.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <string>
#include <vector>
#include "common/state.h"
#include "monitor/hostlist.h"
#include "resources/resource.h"
#include "settings/configdlg.h"
#include "hwtest.h"
#include "modal.h"
#include "app/commands.h"
#include "settings/addressfields.h"

namespace {

using hwtest::Step;

struct TimerCall {
    HWND window;
    UINT_PTR id;
    UINT elapse;
};
std::vector<TimerCall> timercalls;
UINT_PTR WINAPI recordtimer(HWND w, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    timercalls.push_back({w, id, elapse});
    return SetTimer(w, id, elapse ? elapse : 3600000, proc);  // no 10 ms ticks in the test
}

Addr4 A(int a, int b, int c, int d) {
    Addr4 r = {{(unsigned char)a, (unsigned char)b, (unsigned char)c, (unsigned char)d}};
    return r;
}
std::string dotted(const Addr4& a) {
    char t[32];
    snprintf(t, sizeof t, "%d.%d.%d.%d", a.o[0], a.o[1], a.o[2], a.o[3]);
    return t;
}
std::string field(HWND d, int id) {
    char buf[300] = "";
    GetDlgItemTextA(d, id, buf, sizeof buf);
    return buf;
}
void fill(HWND d, const char* period, const char* l1, const char* h1, const char* l2, const char* h2) {
    SetDlgItemTextA(d, IDC_PERIOD, period);
    SetDlgItemTextA(d, IDC_LOW1, l1);
    SetDlgItemTextA(d, IDC_HIGH1, h1);
    SetDlgItemTextA(d, IDC_LOW2, l2);
    SetDlgItemTextA(d, IDC_HIGH2, h2);
}
std::vector<std::string> records() {
    std::vector<std::string> v;
    for (HostRecord* r = hostlist; r; r = r->next) v.push_back(dotted(r->addr));
    return v;
}

class Config : public testing::Test {
protected:
    hwtest::Notices notices;
    HWND window = nullptr;
    void SetUp() override {
        WSADATA wsa;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 1), &wsa), 0);  // as the program's entry does
        window = (HWND)hwtest::makemainwindow();
        ASSERT_NE(window, nullptr);
        timercalls.clear();
        configsettimer = recordtimer;
        notices.clear();
    }
    void TearDown() override {
        configsettimer = SetTimer;
        patrolling = false;
        hwtest::closemainwindow();
        WSACleanup();
    }
    bool run(const std::vector<Step>& steps) {
        return hwtest::withdialogs([&] { dispatchcommand(window, IDM_CONFIG); }, steps);
    }
    // Types the fields, presses OK and, when the dialog stayed open, records that and
    // cancels it.
    bool stayedopen = false;
    bool ok(const char* period, const char* l1, const char* h1, const char* l2, const char* h2) {
        stayedopen = false;
        return run({[=](HWND d) {
            fill(d, period, l1, h1, l2, h2);
            hwtest::click(d, IDOK);
            if (IsWindow(d) && IsWindowVisible(d)) {
                stayedopen = true;
                hwtest::click(d, IDCANCEL);
            }
        }});
    }
    void setsettings(int p, Addr4 a, Addr4 b, Addr4 c, Addr4 d) {
        period = p;
        lowhost = a, highhost = b, lowhost2 = c, highhost2 = d;
    }
    void expectsettings(int p, Addr4 a, Addr4 b, Addr4 c, Addr4 d) {
        EXPECT_EQ(period, p);
        EXPECT_EQ(dotted(lowhost), dotted(a));
        EXPECT_EQ(dotted(highhost), dotted(b));
        EXPECT_EQ(dotted(lowhost2), dotted(c));
        EXPECT_EQ(dotted(highhost2), dotted(d));
    }
    void expectone(const std::string& text) {
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].caption, "Failure");
        EXPECT_EQ(notices[0].style, (unsigned)(MB_OK | MB_TASKMODAL | MB_ICONEXCLAMATION));
        EXPECT_EQ(notices[0].text, text);
    }
};

TEST_F(Config, OpensWithThePeriodUnsignedAndTheRangesDotted) {
    setsettings(-5, A(192, 168, 1, 10), A(192, 168, 1, 20), A(10, 0, 0, 1), A(10, 0, 0, 9));
    std::vector<std::string> shown;
    char title[128] = "";
    ASSERT_TRUE(run({[&](HWND d) {
        GetWindowTextA(d, title, sizeof title);
        for (int id : {IDC_PERIOD, IDC_LOW1, IDC_HIGH1, IDC_LOW2, IDC_HIGH2}) shown.push_back(field(d, id));
        hwtest::click(d, IDCANCEL);
    }}));
    EXPECT_STREQ(title, "Configure Hostwarden settings");
    std::vector<std::string> want = {"4294967291", "192.168.1.10", "192.168.1.20", "10.0.0.1", "10.0.0.9"};
    EXPECT_EQ(shown, want);
}

TEST_F(Config, AllZerosMakeBothRangesInactiveAndTheNextTickSaysSo) {
    setsettings(3600, A(10, 0, 0, 1), A(10, 0, 0, 2), A(0, 0, 0, 0), A(0, 0, 0, 0));
    ASSERT_TRUE(ok("120", "0.0.0.0", "0.0.0.0", "0.0.0.0", "0.0.0.0"));
    EXPECT_FALSE(stayedopen);
    EXPECT_TRUE(notices.all().empty());
    expectsettings(120, A(0, 0, 0, 0), A(0, 0, 0, 0), A(0, 0, 0, 0), A(0, 0, 0, 0));
    EXPECT_EQ(hostlist, nullptr);
    ASSERT_EQ(timercalls.size(), 1u);
    EXPECT_EQ(timercalls[0].window, window);
    EXPECT_EQ(timercalls[0].id, 1u);
    EXPECT_EQ(timercalls[0].elapse, 120000u);
    size_t before = hwtest::viewlines().size();
    SendMessageA(window, WM_TIMER, 1, 0);
    std::vector<std::string> v = hwtest::viewlines();
    ASSERT_EQ(v.size(), before + 1);
    EXPECT_EQ(v.back(), "No configuration, use the File / Configuration dialog.");
}

TEST_F(Config, RangeInTwoSubnetsIsRefusedWithBothAddresses) {
    setsettings(3600, A(10, 0, 0, 1), A(10, 0, 0, 2), A(0, 0, 0, 0), A(0, 0, 0, 0));
    ASSERT_TRUE(ok("60", "192.168.1.10", "192.168.2.20", "0.0.0.0", "0.0.0.0"));
    EXPECT_TRUE(stayedopen);
    expectone("Range limits 192.168.1.10 and 192.168.2.20 must be in the same C class subnet");
    expectsettings(3600, A(10, 0, 0, 1), A(10, 0, 0, 2), A(0, 0, 0, 0), A(0, 0, 0, 0));
    EXPECT_TRUE(timercalls.empty());
}

TEST_F(Config, LowAboveHighIsRefusedAndSubnetComesFirst) {
    ASSERT_TRUE(ok("60", "192.168.1.20", "192.168.1.10", "0.0.0.0", "0.0.0.0"));
    EXPECT_TRUE(stayedopen);
    expectone("Low host address 192.168.1.20 must be less than High host address 192.168.1.10");
    notices.clear();
    ASSERT_TRUE(ok("60", "192.168.2.20", "192.168.1.10", "0.0.0.0", "0.0.0.0"));
    expectone("Range limits 192.168.2.20 and 192.168.1.10 must be in the same C class subnet");
    EXPECT_TRUE(timercalls.empty());
}

TEST_F(Config, RangeTwoFromZeroToAnAddressIsInTwoSubnets) {
    ASSERT_TRUE(ok("60", "192.168.1.1", "192.168.1.2", "0.0.0.0", "192.168.1.5"));
    EXPECT_TRUE(stayedopen);
    expectone("Range limits 0.0.0.0 and 192.168.1.5 must be in the same C class subnet");
    EXPECT_EQ(dotted(lowhost), "0.0.0.0");  // range 1 passed but is not applied either
    EXPECT_TRUE(timercalls.empty());
}

TEST_F(Config, OnlyTheFirstInvalidFieldIsTold) {
    ASSERT_TRUE(ok("60", "not an address!", "10.0.0.1", "neither is this!", "10.0.0.2"));
    EXPECT_TRUE(stayedopen);
    expectone("Invalid Internet address <not an address!>");
}

TEST_F(Config, AnEmptyAddressFieldIsInvalid) {
    ASSERT_TRUE(ok("60", "10.0.0.1", "", "0.0.0.0", "0.0.0.0"));
    EXPECT_TRUE(stayedopen);
    expectone("Invalid Internet address <>");
    EXPECT_EQ(dotted(highhost), "0.0.0.0");
}

TEST_F(Config, RangeOneValidRangeTwoInvalidAppliesNothing) {
    setsettings(3600, A(10, 0, 0, 1), A(10, 0, 0, 2), A(0, 0, 0, 0), A(0, 0, 0, 0));
    HostRecord* before = hostlist;
    ASSERT_TRUE(ok("60", "192.168.1.1", "192.168.1.9", "10.1.1.9", "10.1.1.1"));
    EXPECT_TRUE(stayedopen);
    expectone("Low host address 10.1.1.9 must be less than High host address 10.1.1.1");
    expectsettings(3600, A(10, 0, 0, 1), A(10, 0, 0, 2), A(0, 0, 0, 0), A(0, 0, 0, 0));
    EXPECT_EQ(hostlist, before);
    EXPECT_TRUE(timercalls.empty());
}

TEST_F(Config, SingleAddressRangeHoldsOneRecord) {
    ASSERT_TRUE(ok("60", "192.168.1.7", "192.168.1.7", "0.0.0.0", "0.0.0.0"));
    EXPECT_FALSE(stayedopen);
    EXPECT_TRUE(notices.all().empty());
    EXPECT_EQ(records(), std::vector<std::string>{"192.168.1.7"});
}

TEST_F(Config, RangeFromZeroLowAddressStaysInactive) {
    ASSERT_TRUE(ok("60", "0.0.0.0", "0.0.0.5", "0.0.0.0", "0.0.0.0"));
    EXPECT_FALSE(stayedopen);
    EXPECT_EQ(dotted(highhost), "0.0.0.5");
    EXPECT_EQ(hostlist, nullptr);
}

// The new ranges are first patrolled when the restarted timer fires: OK starts nothing.
TEST_F(Config, TwoActiveRangesAreBuiltInOrderIncludingTheZeroAddress) {
    size_t lines = hwtest::viewlines().size();
    ASSERT_TRUE(ok("60", "10.0.0.0", "10.0.0.3", "10.77.5.9", "10.77.5.10"));
    EXPECT_FALSE(stayedopen);
    hwtest::pump(100);
    EXPECT_FALSE(patrolling);
    EXPECT_EQ(hwtest::viewlines().size(), lines);
    std::vector<std::string> want = {"10.0.0.0", "10.0.0.1", "10.0.0.2", "10.0.0.3", "10.77.5.9", "10.77.5.10"};
    EXPECT_EQ(records(), want);
}

TEST_F(Config, HostNamesResolveAndShowDottedNextTime) {
    ASSERT_TRUE(ok("60", "hwtest-one", "10.77.1.9", "hwtest-two.lab", "hwtest-two"));
    EXPECT_FALSE(stayedopen) << (notices.size() ? notices[0].text : "");
    EXPECT_EQ(dotted(lowhost), "10.77.1.7");
    EXPECT_EQ(dotted(lowhost2), "10.77.2.20");
    std::string shown;
    ASSERT_TRUE(run({[&](HWND d) {
        shown = field(d, IDC_LOW1);
        hwtest::click(d, IDCANCEL);
    }}));
    EXPECT_EQ(shown, "10.77.1.7");
}

TEST_F(Config, NameAndAddressInDifferentSubnetsNameTheResolvedAddress) {
    ASSERT_TRUE(ok("60", "hwtest-one", "hwtest-three", "0.0.0.0", "0.0.0.0"));
    expectone("Range limits 10.77.1.7 and 10.77.3.30 must be in the same C class subnet");
}

// Every form inet_addr takes is an address; a failure tells and leaves the variable.
TEST_F(Config, ReadAddressFieldTakesEveryInetAddrFormAndLeavesTheVariableOnFailure) {
    std::vector<std::string> got;
    Addr4 kept = A(1, 2, 3, 4);
    bool failed = true;
    ASSERT_TRUE(run({[&](HWND d) {
        for (const char* text : {"10.77.1", "0x0a4d0005", "10.77.0.010", "hwtest-three.lab"}) {
            SetDlgItemTextA(d, IDC_LOW2, text);
            Addr4 a = A(9, 9, 9, 9);
            got.push_back(readaddressfield(d, IDC_LOW2, &a) ? dotted(a) : "failed");
        }
        SetDlgItemTextA(d, IDC_LOW2, "10.77.0.256");
        failed = !readaddressfield(d, IDC_LOW2, &kept);
        hwtest::click(d, IDCANCEL);
    }}));
    std::vector<std::string> want = {"10.77.0.1", "10.77.0.5", "10.77.0.8", "10.77.3.30"};
    EXPECT_EQ(got, want);
    EXPECT_TRUE(failed);
    EXPECT_EQ(dotted(kept), "1.2.3.4");
    expectone("Invalid Internet address <10.77.0.256>");
}

TEST_F(Config, EmptyPeriodGivesZeroAndAZeroElapse) {
    ASSERT_TRUE(ok("", "0.0.0.0", "0.0.0.0", "0.0.0.0", "0.0.0.0"));
    EXPECT_EQ(period, 0);
    ASSERT_EQ(timercalls.size(), 1u);
    EXPECT_EQ(timercalls[0].elapse, 0u);
}

TEST_F(Config, NegativePeriodRoundTripsThroughItsUnsignedText) {
    period = -5;
    ASSERT_TRUE(run({[&](HWND d) { hwtest::click(d, IDOK); }}));
    EXPECT_EQ(period, -5);
    ASSERT_EQ(timercalls.size(), 1u);
    EXPECT_EQ(timercalls[0].elapse, (UINT)-5000);
}

TEST_F(Config, PeriodTimesThousandWrapsInThirtyTwoBits) {
    ASSERT_TRUE(ok("4294968", "0.0.0.0", "0.0.0.0", "0.0.0.0", "0.0.0.0"));
    EXPECT_EQ(period, 4294968);
    ASSERT_EQ(timercalls.size(), 1u);
    EXPECT_EQ(timercalls[0].elapse, 704u);  // 4294968000 - 2^32
}

TEST_F(Config, CancelAndEscapeChangeNothing) {
    setsettings(77, A(10, 0, 0, 1), A(10, 0, 0, 2), A(10, 0, 1, 1), A(10, 0, 1, 2));
    HostRecord* before = hostlist;
    ASSERT_TRUE(run({[&](HWND d) {
        fill(d, "5", "10.9.9.1", "10.9.9.2", "0.0.0.0", "0.0.0.0");
        hwtest::click(d, IDCANCEL);
    }}));
    ASSERT_TRUE(run({[&](HWND d) {
        fill(d, "5", "10.9.9.1", "10.9.9.2", "0.0.0.0", "0.0.0.0");
        HWND edit = GetDlgItem(d, IDC_LOW1);
        SetFocus(edit);
        PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    }}));
    EXPECT_TRUE(hwtest::threaddialogs().empty());
    expectsettings(77, A(10, 0, 0, 1), A(10, 0, 0, 2), A(10, 0, 1, 1), A(10, 0, 1, 2));
    EXPECT_EQ(hostlist, before);
    EXPECT_TRUE(timercalls.empty());
    EXPECT_TRUE(notices.all().empty());
}

TEST_F(Config, HelpShowsItsTextOverTheDialogWhichKeepsWhatWasTyped) {
    char title[128] = "";
    char text[512] = "";
    HWND owner = nullptr;
    std::vector<std::string> after;
    ASSERT_TRUE(run({[&](HWND d) {
                         fill(d, "42", "10.1.2.3", "10.1.2.4", "0.0.0.0", "0.0.0.0");
                         hwtest::click(d, IDC_HELPBUTTON);  // returns when the help is closed
                         for (int id : {IDC_PERIOD, IDC_LOW1, IDC_HIGH1}) after.push_back(field(d, id));
                         hwtest::click(d, IDCANCEL);
                     },
                     [&](HWND box) {
                         GetWindowTextA(box, title, sizeof title);
                         GetDlgItemTextA(box, 101, text, sizeof text);
                         owner = GetWindow(box, GW_OWNER);
                         hwtest::click(box, IDOK);
                     }}));
    EXPECT_STREQ(title, "HOSTWARDEN 5.3.3 Configuration Help");
    EXPECT_STREQ(text, "If only one IP range is required leave the other as 0.0.0.0 to 0.0.0.0\n"
                       "IP limits can be DNS entries if needed.\n");
    EXPECT_NE(owner, window);  // owned by the dialog, not the main window
    std::vector<std::string> want = {"42", "10.1.2.3", "10.1.2.4"};
    EXPECT_EQ(after, want);
}

// A patrol the timer started while the dialog was open walks the HostList: OK rebuilds
// nothing, applies nothing and says why; once the patrol has ended OK applies.
TEST_F(Config, OkWhileAPatrolRunsAppliesNothingAndTellsTheUser) {
    setsettings(3600, A(10, 0, 0, 1), A(10, 0, 0, 2), A(0, 0, 0, 0), A(0, 0, 0, 0));
    HostRecord* before = hostlist;
    bool openafterfirst = false;
    ASSERT_TRUE(run({[&](HWND d) {
        fill(d, "60", "10.0.0.5", "10.0.0.6", "0.0.0.0", "0.0.0.0");
        patrolling = true;
        hwtest::click(d, IDOK);
        openafterfirst = IsWindow(d) && IsWindowVisible(d);
        EXPECT_EQ(hostlist, before);
        EXPECT_EQ(dotted(lowhost), "10.0.0.1");
        EXPECT_TRUE(timercalls.empty());
        patrolling = false;
        hwtest::click(d, IDOK);
    }}));
    EXPECT_TRUE(openafterfirst);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Failure");
    EXPECT_NE(notices[0].text.find("Can't apply the configuration while patrolling!"), std::string::npos);
    EXPECT_NE(notices[0].text.find("Nothing has been changed."), std::string::npos);
    expectsettings(60, A(10, 0, 0, 5), A(10, 0, 0, 6), A(0, 0, 0, 0), A(0, 0, 0, 0));
    EXPECT_EQ(timercalls.size(), 1u);
}

TEST_F(Config, RefusedWhilePatrolling) {
    patrolling = true;
    dispatchcommand(window, IDM_CONFIG);  // no dialog opens: nothing to wait for
    patrolling = false;
    expectone("Can't do that while patrolling!");
    EXPECT_TRUE(hwtest::threaddialogs().empty());
}

TEST_F(Config, PeriodFieldTakesDigitsOnly) {
    std::string got;
    ASSERT_TRUE(run({[&](HWND d) {
        HWND e = GetDlgItem(d, IDC_PERIOD);
        SetWindowTextA(e, "");
        for (char c : std::string("1a2-b3")) SendMessageA(e, WM_CHAR, (WPARAM)c, 0);
        got = field(d, IDC_PERIOD);
        hwtest::click(d, IDCANCEL);
    }}));
    EXPECT_EQ(got, "123");
}

}  // namespace
