// The notice in the notification area after a MAC change while the window was not in
// front: with a scripted probe and the notification call replaced.
#include "attention_fixture.h"

namespace {

class NoticeSerial : public AttentionSerial {
protected:
    std::string title() {
        char t[64];
        GetWindowTextA(mainwindow, t, sizeof t);
        return t;
    }
    void minimise() {
        ShowWindow(mainwindow, SW_MINIMIZE);
        hwtest::pump(50);
        ASSERT_TRUE(IsIconic(mainwindow));
    }
    // A patrol, minimised, in which these addresses answer.
    void patrolminimised(const std::map<int, unsigned char>& macs) {
        minimise();
        answers = macs;
        patrol();
    }
};

std::string lines(std::initializer_list<int> last) {
    std::string text;
    for (int o : last) text += (text.empty() ? "" : "\n") + ("MAC address changed for 10.77.1." + std::to_string(o));
    return text;
}

// Every change the user has not seen is named or counted, whichever patrol saw it. The
// fault: each patrol's list replaced the balloon's, and of two patrols ending before the
// window took the first one's message, the second's list replaced the first's, so changes
// seen while the user was away never reached the notice.
TEST_F(NoticeSerial, NamesEveryUnseenChangeAcrossPatrols) {
    window(7, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}});
    patrolminimised({{1, 0x11}, {2, 0x12}, {3, 0x13}, {4, 4}, {5, 5}, {6, 6}});
    ASSERT_EQ(notifies.size(), 1u);
    const NOTIFYICONDATAA& d = notifies[0].data;
    EXPECT_EQ(notifies[0].message, (DWORD)NIM_ADD);
    EXPECT_EQ(d.cbSize, sizeof(NOTIFYICONDATAA));
    EXPECT_EQ(d.hWnd, mainwindow);
    EXPECT_EQ(d.uFlags, (UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
    EXPECT_EQ(d.uCallbackMessage, WM_NOTICEICON);
    EXPECT_NE(d.hIcon, nullptr);
    EXPECT_STREQ(d.szTip, "Hostwarden");  // no version: the user's show/hide choice outlives it
    EXPECT_EQ(d.szInfoTitle, title());
    EXPECT_EQ(d.szInfo, lines({1, 2, 3}));
    // Two more patrols before the window takes their messages: .4 and .5 change and .7
    // answers for the first time (a change from no MAC), then .1 and .6 change.
    answers[7] = 0x17;
    answers[4] = 0x14;
    answers[5] = 0x15;
    patrolthread();
    answers[6] = 0x16;
    answers[1] = 0x21;
    patrolthread();
    hwtest::pump(50);
    ASSERT_EQ(notifies.size(), 2u);
    EXPECT_EQ(notifies[1].message, (DWORD)NIM_MODIFY);
    EXPECT_EQ(notifies[1].data.szInfo, lines({1, 2, 3, 4, 5}) + "\nand 3 more");
}

TEST_F(NoticeSerial, TheIconGoesWhenTheWindowComesToTheFrontOrItIsClicked) {
    window(1, {{1, 1}});
    patrolminimised({{1, 0x11}});
    ASSERT_EQ(notifies.size(), 1u);
    // A new taskbar gets the icon again while it is pending.
    SendMessageA(mainwindow, taskbarcreated, 0, 0);
    ASSERT_EQ(notifies.size(), 2u);
    EXPECT_EQ(notifies[1].message, (DWORD)NIM_ADD);
    EXPECT_STREQ(notifies[1].data.szInfo, notifies[0].data.szInfo);
    // Brought to the front by other means than the icon.
    ShowWindow(mainwindow, SW_RESTORE);
    SetForegroundWindow(mainwindow);
    hwtest::pump(50);
    ASSERT_EQ(notifies.size(), 3u);
    EXPECT_EQ(notifies[2].message, (DWORD)NIM_DELETE);
    EXPECT_EQ(notifies[2].data.hWnd, mainwindow);
    EXPECT_EQ(notifies[2].data.uID, notifies[0].data.uID);
    SendMessageA(mainwindow, taskbarcreated, 0, 0);
    EXPECT_EQ(notifies.size(), 3u);
    // A click on the balloon restores the window and brings it to the front.
    patrolminimised({{1, 0x12}});
    ASSERT_EQ(notifies.size(), 4u);
    EXPECT_EQ(notifies[3].data.szInfo, lines({1}));  // what was seen is not named again
    SendMessageA(mainwindow, WM_NOTICEICON, notifies[3].data.uID, NIN_BALLOONUSERCLICK);
    hwtest::pump(50);
    EXPECT_FALSE(IsIconic(mainwindow));
    EXPECT_EQ(GetForegroundWindow(), mainwindow);
    ASSERT_EQ(notifies.size(), 5u);
    EXPECT_EQ(notifies[4].message, (DWORD)NIM_DELETE);
}

// The shell refuses the icon while it is busy at logon: the timer tries again, to add it
// and then to change it, since a call that ran out of time may have added it after all.
// Its ticks start no patrol.
TEST_F(NoticeSerial, ARefusedIconIsTriedAgainUntilItLands) {
    const struct {
        int refusals;
        std::vector<DWORD> calls;
    } cases[] = {
        {1, {NIM_ADD, NIM_ADD}},
        {2, {NIM_ADD, NIM_ADD, NIM_MODIFY}},
        {3, {NIM_ADD, NIM_ADD, NIM_MODIFY, NIM_ADD}},
    };
    struct Restore {
        UINT was = noticeretryms;
        ~Restore() { noticeretryms = was; }
    } restore;
    noticeretryms = 30;
    for (const auto& t : cases) {
        window(1, {{1, 1}});
        notifies.clear();
        refusals = t.refusals;
        probes = 0;
        patrolminimised({{1, 0x11}});
        hwtest::pump(300);
        std::vector<DWORD> calls;
        for (const NotifyCall& n : notifies) calls.push_back(n.message);
        EXPECT_EQ(calls, t.calls) << t.refusals << " refused";
        EXPECT_EQ(notifies.back().data.szInfo, lines({1}));
        EXPECT_EQ(probes, 1) << "a tick started a patrol";
        hwtest::closemainwindow();
    }
}

// The end of the session runs the shutdown with the window still there, and the window
// may still get a patrol's message after it.
TEST_F(NoticeSerial, TheIconGoesAtShutdownAndNothingComesAfter) {
    window(2, {{1, 1}});
    patrolminimised({{1, 0x11}});
    ASSERT_EQ(notifies.size(), 1u);
    answers = {{1, 0x11}, {2, 0x22}};
    patrolthread();  // its message waits in the queue
    SendMessageA(mainwindow, WM_ENDSESSION, TRUE, 0);
    hwtest::pump(50);
    ASSERT_EQ(notifies.size(), 2u);
    EXPECT_EQ(notifies[1].message, (DWORD)NIM_DELETE);
    EXPECT_TRUE(notifies[1].windowalive);
}

}  // namespace
