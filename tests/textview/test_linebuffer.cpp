// The line chain in the real main window: cap, scroll range, clear, failures, threads.
#include <gtest/gtest.h>
#include <windows.h>
#include <atomic>
#include <thread>
#include "common/state.h"
#include "hwtest.h"
#include "textview/linebuffer.h"
#include "textview/output.h"
#include "textview/view.h"

namespace {

int chainlength() {
    EnterCriticalSection(&lb.lock);
    int n = 0;
    for (OutputLine* l = lb.first; l; l = l->next) n++;
    LeaveCriticalSection(&lb.lock);
    return n;
}

SCROLLINFO vbar() {
    SCROLLINFO si = {sizeof si, SIF_ALL};
    GetScrollInfo(lb.window, SB_VERT, &si);
    return si;
}

class LineBufferTest : public testing::Test {
protected:
    hwtest::Notices notices;
    void SetUp() override {
        ASSERT_NE(hwtest::makemainwindow(), nullptr);
        clearoutput();
    }
    void TearDown() override { hwtest::closemainwindow(); }
};

TEST_F(LineBufferTest, CapKeeps4097LinesAndDropsTheOldest) {
    for (int i = 0; i < 4097; i++) ASSERT_EQ(twprintf("line %d", i), 1);
    EXPECT_EQ(lb.count, 4097);
    EXPECT_STREQ(lb.first->text, "line 0");
    EXPECT_EQ(vbar().nMax, 4096);
    for (int i = 4097; i < 4100; i++) twprintf("line %d", i);
    EXPECT_EQ(lb.count, 4097);
    EXPECT_EQ(chainlength(), 4097);
    EXPECT_STREQ(lb.first->text, "line 3");
    EXPECT_STREQ(lb.last->text, "line 4099");
    EXPECT_EQ(vbar().nMin, 0);
    EXPECT_EQ(vbar().nMax, 4096);
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(LineBufferTest, EmptyLinesAndEmbeddedLineFeedsAreOneLineEach) {
    twprintf("");
    twprintf("a\nb");
    ASSERT_EQ(lb.count, 2);
    EXPECT_EQ(lb.first->length, 0);
    EXPECT_STREQ(lb.last->text, "a\nb");
    EXPECT_EQ(lb.last->length, 3);
}

TEST_F(LineBufferTest, AppendResetsTheSelection) {
    for (int i = 0; i < 3; i++) twprintf("abcdef");
    lb.startline = 0, lb.startcol = 1, lb.endline = 2, lb.endcol = 3;
    twprintf("new");
    EXPECT_EQ(lb.startline | lb.startcol | lb.endline | lb.endcol, 0);
}

TEST_F(LineBufferTest, ScrolledUpViewKeepsItsLinesWhileTheOldestDrop) {
    hwtest::FixedClock clock(1800000000);
    for (int i = 0; i < 4097; i++) twprintf("line %d", i);
    lastactivity = 1800000000;  // the user is active
    lb.top = 50;
    twprintf("one more");
    EXPECT_EQ(lb.top, 49);
    lb.top = 0;
    twprintf("and another");
    EXPECT_EQ(lb.top, 0);
}

TEST_F(LineBufferTest, ClearEmptiesTheViewAndKeepsLeftColumn) {
    for (int i = 0; i < 100; i++) twprintf("x%d", i);
    lb.leftcol = 7;
    clearoutput();
    EXPECT_EQ(lb.count, 0);
    EXPECT_EQ(lb.top, 0);
    EXPECT_EQ(lb.first, nullptr);
    EXPECT_EQ(lb.leftcol, 7);
    twprintf("after");
    EXPECT_EQ(lb.count, 1);
    EXPECT_EQ(chainlength(), 1);
}

TEST_F(LineBufferTest, MinimisedWindowKeepsPageAndTop) {
    for (int i = 0; i < 200; i++) twprintf("x%d", i);
    hwtest::pump();
    int page = lb.page, top = lb.top;
    ASSERT_GT(page, 0);
    ShowWindow(lb.window, SW_MINIMIZE);
    hwtest::pump();
    twsetpage();
    EXPECT_EQ(lb.page, page);
    EXPECT_EQ(lb.top, top);
}

TEST_F(LineBufferTest, PageFollowsTheClientHeightAndClampsTop) {
    for (int i = 0; i < 30; i++) twprintf("x%d", i);
    SetWindowPos(lb.window, nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER);
    hwtest::pump();
    RECT rc;
    GetClientRect(lb.window, &rc);
    EXPECT_EQ(lb.page, rc.bottom / lb.lineheight);
    lb.top = 29;
    twsetpage();
    EXPECT_EQ(lb.top, 30 - lb.page);
    EXPECT_EQ(vbar().nPos, lb.top);
}

HGLOBAL WINAPI failingalloc(UINT, SIZE_T) {
    SetLastError(8);
    return nullptr;
}

TEST_F(LineBufferTest, FailedAllocationKeepsTheChainAndTellsTheUser) {
    twprintf("kept");
    auto saved = twalloc;
    twalloc = failingalloc;
    EXPECT_EQ(twprintf("lost"), 0);
    twalloc = saved;
    EXPECT_EQ(lb.count, 1);
    EXPECT_EQ(chainlength(), 1);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Error");
    EXPECT_EQ(notices[0].text, "Memory allocation failed <8>");
}

TEST_F(LineBufferTest, AppendsFromAnotherThreadWhileThisOnePaintsAndClears) {
    std::atomic<bool> done(false);
    std::atomic<bool> mismatch(false);
    std::thread writer([&] {
        for (int i = 0; i < 20000; i++) twprintf("patrol line %d", i);
        done = true;
    });
    int clears = 0;
    while (!done) {
        InvalidateRect(lb.window, nullptr, FALSE);
        UpdateWindow(lb.window);
        hwtest::pump();
        EnterCriticalSection(&lb.lock);
        int n = 0;
        for (OutputLine* l = lb.first; l; l = l->next) n++;
        if (n != lb.count) mismatch = true;
        LeaveCriticalSection(&lb.lock);
        if (++clears % 3 == 0) clearoutput();
    }
    writer.join();
    EXPECT_FALSE(mismatch.load());
    EXPECT_EQ(chainlength(), lb.count);
    EXPECT_LE(lb.count, 4097);
    EXPECT_EQ(notices.size(), 0u);
}

}  // namespace
