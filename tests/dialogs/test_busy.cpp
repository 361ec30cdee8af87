// The busy indicator: its first look, updates and the last-update test, an early close.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>
#include <string>
#include "hwtest.h"
#include "dialogs/busy.h"
#include "dialogs/busytemplate.h"

using namespace hwtest;

namespace {

std::string itemtext(HWND w, int id) {
    char buf[64] = "";
    GetDlgItemTextA(w, id, buf, sizeof buf);
    return buf;
}
int barpos(HWND w) { return (int)SendDlgItemMessageA(w, busybar, PBM_GETPOS, 0, 0); }

// Messages that reach the indicator's controls, counted on this thread.
struct ControlMessages {
    static int count;
    HHOOK hook;
    ControlMessages() {
        count = 0;
        hook = SetWindowsHookExA(WH_CALLWNDPROC, oncall, nullptr, GetCurrentThreadId());
    }
    ~ControlMessages() { UnhookWindowsHookEx(hook); }
    static LRESULT CALLBACK oncall(int code, WPARAM wp, LPARAM lp) {
        CWPSTRUCT* c = (CWPSTRUCT*)lp;
        if (code == HC_ACTION && (c->message == WM_SETTEXT || c->message == PBM_SETPOS)) count++;
        return CallNextHookEx(nullptr, code, wp, lp);
    }
};
int ControlMessages::count;

class Busy : public testing::Test {
protected:
    Notices notices;
    HWND owner = nullptr;
    void SetUp() override {
        owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override {
        DestroyWindow(owner);
        EXPECT_EQ(notices.size(), 0u);
    }
};

TEST_F(Busy, NewIndicatorShowsItsTextZeroPercentAndAnEmptyBarCentred) {
    HWND w = busymessage(owner, "Loading records...");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(GetWindow(w, GW_OWNER), owner);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(itemtext(w, busycaption), "Loading records...");
    EXPECT_EQ(itemtext(w, busypercent), "0%");
    EXPECT_EQ(barpos(w), 0);
    char cls[64];
    GetClassNameA(GetDlgItem(w, busybar), cls, sizeof cls);
    EXPECT_STREQ(cls, "msctls_progress32");
    EXPECT_EQ(SendDlgItemMessageA(w, busybar, PBM_GETRANGE, FALSE, 0), 100);
    // The template's window styles, and no title bar (the system may add clipping).
    LONG style = GetWindowLongA(w, GWL_STYLE);
    EXPECT_EQ(style & 0x90840000, 0x90840000);
    EXPECT_EQ(style & WS_CAPTION & ~WS_BORDER, 0);
    RECT d, r;
    GetWindowRect(GetDesktopWindow(), &d);
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, d.left + ((d.right - d.left) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, d.top + ((d.bottom - d.top) - (r.bottom - r.top)) / 2);
    DestroyWindow(w);
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(Busy, UpdatesShowThePercentAndARepeatSendsNothing) {
    HWND w = busymessage(owner, "Saving records...");
    ASSERT_NE(w, nullptr);
    ControlMessages messages;
    setbusypercent(w, 40);
    EXPECT_EQ(itemtext(w, busypercent), "40%");
    EXPECT_EQ(barpos(w), 40);
    EXPECT_EQ(messages.count, 2);
    messages.count = 0;
    setbusypercent(w, 40);
    EXPECT_EQ(messages.count, 0);
    setbusypercent(w, 100);
    EXPECT_EQ(itemtext(w, busypercent), "100%");
    EXPECT_EQ(barpos(w), 100);
    DestroyWindow(w);
}

TEST_F(Busy, SameValueOnAnotherIndicatorUpdatesIt) {
    HWND a = busymessage(owner, "one");
    ASSERT_NE(a, nullptr);
    setbusypercent(a, 40);
    HWND b = busymessage(owner, "two");
    ASSERT_NE(b, nullptr);
    setbusypercent(b, 40);
    EXPECT_EQ(itemtext(b, busypercent), "40%");
    EXPECT_EQ(barpos(b), 40);
    // Back to the first: it is a different window from the last update, so it is updated.
    SetDlgItemTextA(a, busypercent, "stale");
    setbusypercent(a, 40);
    EXPECT_EQ(itemtext(a, busypercent), "40%");
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST_F(Busy, CloseRequestEndsItAtOnceAndLaterCallsDoNothing) {
    for (int button : {IDCANCEL, IDOK}) {
        HWND w = busymessage(owner, "Loading records...");
        ASSERT_NE(w, nullptr);
        setbusypercent(w, 10);
        SendMessageA(w, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        EXPECT_FALSE(IsWindow(w)) << button;
        ControlMessages messages;
        setbusypercent(w, 20);
        EXPECT_FALSE(DestroyWindow(w));
        EXPECT_TRUE(IsWindow(owner));
    }
    // Other commands leave it alone.
    HWND w = busymessage(owner, "x");
    SendMessageA(w, WM_COMMAND, MAKEWPARAM(101, 0), 0);
    EXPECT_TRUE(IsWindow(w));
    DestroyWindow(w);
}

// For scripts/docshots.sh: the indicator as a save shows it, held on screen for
// HW_DOCSHOT_HOLD milliseconds, its window rectangle printed first.
TEST(DocShot, BusyIndicatorHeldOnScreen) {
    const char* hold = getenv("HW_DOCSHOT_HOLD");
    if (!hold) GTEST_SKIP() << "run by scripts/docshots.sh";
    HWND busy = busymessage(GetDesktopWindow(), "Saving records...");
    ASSERT_NE(busy, nullptr);
    setbusypercent(busy, 40);
    RECT r;
    GetWindowRect(busy, &r);
    printf("[ rect ] %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    fflush(stdout);
    pump(atoi(hold));
    DestroyWindow(busy);
}

}  // namespace
