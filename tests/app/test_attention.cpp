// The taskbar flash asked for when a patrol saw a MAC change while the window was not in
// front: with a scripted probe and the flash call replaced. Where nothing is asked, no
// notice is shown either.
#include "attention_fixture.h"

namespace {

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
    EXPECT_EQ(notifies.size(), 0u);
    // Minimised: the same MAC again and a silent one are no change.
    ShowWindow(mainwindow, SW_MINIMIZE);
    hwtest::pump(50);
    ASSERT_TRUE(IsIconic(mainwindow));
    patrol();
    EXPECT_EQ(changelines(), 1);
    EXPECT_EQ(flashes.size(), 0u);
    EXPECT_EQ(notifies.size(), 0u);
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
    EXPECT_EQ(notifies.size(), 0u);
    // The change was seen and saved all the same.
    EXPECT_EQ(hwtest::profilevalue("SOFTWARE\\Hostwarden\\10.77.1.1").substr(0, 17), "02 77 01 00 00 11");
}

}  // namespace
