// The main window: start-up line, command dispatch and refusals, activity stamps,
// power and timer messages, the shutdown sequence.
#include <gtest/gtest.h>
#include <windows.h>
#include <thread>
#include "app/mainwnd.h"
#include "common/state.h"
#include "hwtest.h"
#include "monitor/hostlist.h"
#include "textview/linebuffer.h"
#include "textview/logfile.h"
#include "common/winutil.h"
#include "resources/resource.h"
#include "common/notices.h"
#include "settings/profile.h"

namespace {

const char noconfig[] = "No configuration, use the File / Configuration dialog.";

class MainWindowTest : public testing::Test {
protected:
    hwtest::Notices notices;
    HWND w = nullptr;
    void SetUp() override {
        w = (HWND)hwtest::makemainwindow();
        ASSERT_NE(w, nullptr);
    }
    void TearDown() override {
        patrolling = false;
        hwtest::closemainwindow();
    }
    void command(int id) { SendMessageA(w, WM_COMMAND, id, 0); }
};

TEST_F(MainWindowTest, StartsWithTitleAndTheNoConfigurationLine) {
    char title[64];
    GetWindowTextA(w, title, sizeof title);
    EXPECT_STREQ(title, "Hostwarden 5.3.3");
    EXPECT_EQ(mainwindow, w);
    EXPECT_EQ(period, 3600);
    EXPECT_TRUE(addrzero(lowhost) && addrzero(highhost2));
    auto lines = hwtest::viewlines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], noconfig);
    EXPECT_EQ(notices.size(), 0u);
    // Both scroll bars stay visible, also while every line fits.
    SCROLLBARINFO sb = {sizeof sb};
    ASSERT_TRUE(GetScrollBarInfo(w, OBJID_VSCROLL, &sb));
    EXPECT_FALSE(sb.rgstate[0] & STATE_SYSTEM_INVISIBLE);
    ASSERT_TRUE(GetScrollBarInfo(w, OBJID_HSCROLL, &sb));
    EXPECT_FALSE(sb.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

TEST_F(MainWindowTest, EachTimerTickWithoutConfigurationPrintsTheLineAgain) {
    SendMessageA(w, WM_TIMER, 1, 0);
    SendMessageA(w, WM_TIMER, 1, 0);
    auto lines = hwtest::viewlines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], noconfig);
}

TEST_F(MainWindowTest, GuardedCommandsAreRefusedWhilePatrolling) {
    for (int i = 0; i < 5; i++) hwtest::viewlines();
    patrolling = true;
    const int guarded[] = {IDM_CONFIG,        IDM_CLEAR,        IDM_DUMPARP,    IDM_EXPORTSUMMARY,
                           IDM_EXPORTALL,     IDM_RESETRECORDS, IDM_REPORTTIME, IDM_REPORTREPLIES};
    for (int id : guarded) {
        notices.clear();
        command(id);
        ASSERT_EQ(notices.size(), 1u) << id;
        EXPECT_EQ(notices[0].caption, "Failure") << id;
        EXPECT_EQ(notices[0].style, 0x2030u) << id;
        EXPECT_EQ(notices[0].text, "Can't do that while patrolling!") << id;
    }
    // Clear Display was refused: the start line is still there.
    EXPECT_EQ(hwtest::viewlines().size(), 1u);
}

TEST_F(MainWindowTest, StopPatrollingOnlyActsDuringAPatrol) {
    command(IDM_STOPPATROL);
    EXPECT_FALSE(stoprequest.load());
    patrolling = true;
    command(IDM_STOPPATROL);
    EXPECT_TRUE(stoprequest.load());
    stoprequest = false;
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(MainWindowTest, ClearDisplayEmptiesTheView) {
    command(IDM_CLEAR);
    EXPECT_TRUE(hwtest::viewlines().empty());
    command(99999);  // unknown ids are ignored
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(MainWindowTest, UserMessagesStampLastActivity) {
    hwtest::FixedClock clock(1800000123);
    const UINT stamped[] = {WM_SIZE, WM_KEYDOWN, WM_HSCROLL, WM_VSCROLL, WM_LBUTTONDOWN,
                            WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEWHEEL};
    for (UINT m : stamped) {
        lastactivity = 0;
        // A right click opens the context menu; only the stamp is looked at here.
        if (m == WM_RBUTTONDOWN) continue;
        SendMessageA(w, m, 0, 0);
        EXPECT_EQ(lastactivity, 1800000123) << m;
    }
    lastactivity = 0;
    SendMessageA(w, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(lastactivity, 0);
}

TEST_F(MainWindowTest, SuspendAnnouncementSetsTheFlag) {
    SendMessageA(w, WM_POWERBROADCAST, 7 /* PBT_APMRESUMESUSPEND */, 0);
    EXPECT_FALSE(suspended.load());
    SendMessageA(w, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_TRUE(suspended.load());
}

TEST_F(MainWindowTest, ShutdownWaitsForThePatrolAndIsSafeTwice) {
    patrolling = true;
    std::thread patrol([] {
        while (!exitrequest) Sleep(10);
        Sleep(250);
        patrolling = false;
    });
    DWORD start = GetTickCount();
    shutdownsequence();
    DWORD waited = GetTickCount() - start;
    patrol.join();
    EXPECT_TRUE(exitrequest.load());
    EXPECT_FALSE(patrolling.load());
    EXPECT_GE(waited, 200u);
    EXPECT_TRUE(hwtest::viewlines().empty());
    EXPECT_EQ(hostlist, nullptr);
    EXPECT_FALSE(logging);
    shutdownsequence();
    EXPECT_EQ(hostlist, nullptr);
    EXPECT_EQ(notices.size(), 0u);
}

// A patrol thread that sends to the main window on its way out (as handing back the
// activation does on Windows) is answered while the shutdown waits for it.
TEST_F(MainWindowTest, ShutdownAnswersWhatThePatrolSendsWhileItWaits) {
    patrolling = true;
    DWORD_PTR answered = 0;
    LRESULT sent = 0;
    std::thread patrol([&] {
        while (!exitrequest) Sleep(10);
        sent = SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answered);
        patrolling = false;
    });
    DWORD start = GetTickCount();
    shutdownsequence();
    DWORD waited = GetTickCount() - start;
    patrol.join();
    EXPECT_NE(sent, 0) << "the message was not answered";
    EXPECT_LT(waited, 1000u);
    EXPECT_FALSE(patrolling.load());
}

// A logoff that is cancelled (WM_ENDSESSION with FALSE) leaves the program watching as
// before; one that goes ahead (TRUE) runs the shutdown sequence.
TEST_F(MainWindowTest, CancelledLogoffKeepsTheWatchAndARealOneShutsDown) {
    HostRecord* r = (HostRecord*)listappendafter(hostlisthead(), nullptr, sizeof(HostRecord));
    ASSERT_NE(r, nullptr);
    r->addr = {{10, 77, 3, 4}};
    SendMessageA(w, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(hostlist, r);
    EXPECT_EQ(hwtest::viewlines().size(), 1u);
    EXPECT_TRUE(hwtest::readfile("Hostwarden.INI").empty()) << "nothing saved";
    EXPECT_TRUE(KillTimer(w, 1)) << "the period timer was stopped";
    SetTimer(w, 1, period * 1000u, nullptr);

    SendMessageA(w, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(hostlist, nullptr);
    EXPECT_TRUE(hwtest::viewlines().empty());
    EXPECT_FALSE(KillTimer(w, 1));
    std::string ini = hwtest::readfile("Hostwarden.INI");
    EXPECT_NE(ini.find("SOFTWARE\\Hostwarden\\period=3600"), std::string::npos) << ini;
    EXPECT_NE(ini.find("SOFTWARE\\Hostwarden\\10.77.3.4="), std::string::npos) << ini;
    // At a logoff the records go first: the session may end before the rest.
    EXPECT_LT(ini.find("SOFTWARE\\Hostwarden\\10.77.3.4="), ini.find("SOFTWARE\\Hostwarden\\period=")) << ini;
}

// A close that meets a held profile waits for it, then asks, after every save was made:
// Retry waits again (and asks again while it is held) and the saves land when the file
// is free; Cancel closes without them and leaves the file as it was.
TEST_F(MainWindowTest, ACloseThatMeetsAHeldProfileAsksToRetryOrCancel) {
    for (int choice : {IDCANCEL, IDRETRY}) {
        hwtest::writeini("SOFTWARE\\Hostwarden\\period=60\r\n");
        std::string before = hwtest::readfile("Hostwarden.INI");
        HostRecord* r = (HostRecord*)listappendafter(hostlisthead(), nullptr, sizeof(HostRecord));
        r->addr = {{10, 77, 3, 4}};
        profileheldtellms = 300;
        noticechoice = choice;
        notices.clear();
        HANDLE held = CreateFileA("Hostwarden.INI", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        std::thread holder([held] {
            Sleep(1500);
            CloseHandle(held);
        });
        shutdownsequence();
        holder.join();
        ASSERT_GE(notices.size(), 1u) << choice;
        EXPECT_EQ(notices.size() == 1, choice == IDCANCEL) << notices.size();
        EXPECT_EQ(notices[0].style & MB_TYPEMASK, (unsigned)MB_RETRYCANCEL);
        EXPECT_NE(notices[0].text.find("is not saved yet: another program holds it open"), std::string::npos);
        std::string after = hwtest::readfile("Hostwarden.INI");
        if (choice == IDCANCEL) {
            EXPECT_EQ(after, before);
        } else {
            EXPECT_NE(after.find("SOFTWARE\\Hostwarden\\10.77.3.4="), std::string::npos) << after;
        }
    }
}

TEST(MainWindowExit, ExitCommandDestroysTheWindowAndPostsQuit) {
    hwtest::Notices notices;
    HWND w = (HWND)hwtest::makemainwindow();
    ASSERT_NE(w, nullptr);
    SendMessageA(w, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_FALSE(IsWindow(w));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

}  // namespace
