// The output view's scroll bars, scrolling keys and wheel.
#include "test_input_fixture.h"

namespace {

class Scroll : public InputView {
protected:
    void SetUp() override {
        InputView::SetUp();
        std::vector<std::string> lines;
        for (int i = 0; i < 100; i++) lines.push_back("line " + std::to_string(i));
        add(lines);
        ASSERT_GT(lb.page, 5);
        ASSERT_LT(lb.page, 60);
        settop(0);
    }
    void vs(int code, int pos = 0) { SendMessageA(w, WM_VSCROLL, MAKEWPARAM(code, pos), 0); }
    void hs(int code, int pos = 0) { SendMessageA(w, WM_HSCROLL, MAKEWPARAM(code, pos), 0); }
    void key(int vk) { SendMessageA(w, WM_KEYDOWN, vk, 0); }
    int vpos() { return GetScrollPos(w, SB_VERT); }
    int hpos() { return GetScrollPos(w, SB_HORZ); }
    void settop(int t) {
        vs(SB_THUMBPOSITION, t);
        ASSERT_EQ(lb.top, t);
    }
    void expecttop(int t) {
        EXPECT_EQ(lb.top, t);
        EXPECT_EQ(vpos(), t);
    }
};

TEST_F(Scroll, VerticalRequestsAndClamps) {
    int last = lb.count - lb.page;  // max 99 - page + 1
    vs(SB_LINEDOWN);
    expecttop(1);
    vs(SB_PAGEDOWN);
    expecttop(1 + lb.page);
    vs(SB_LINEUP);
    expecttop(lb.page);
    vs(SB_PAGEUP);
    expecttop(0);
    vs(SB_LINEUP);
    expecttop(0);
    vs(SB_PAGEUP);
    expecttop(0);
    vs(SB_THUMBTRACK, 50);
    expecttop(50);
    vs(SB_TOP);
    expecttop(50);
    vs(SB_BOTTOM);
    expecttop(50);
    vs(SB_ENDSCROLL);
    expecttop(50);
    vs(SB_THUMBPOSITION, 5000);
    expecttop(last);
    vs(SB_LINEDOWN);
    expecttop(last);
    vs(SB_PAGEDOWN);
    expecttop(last);
    paint();
    std::vector<std::string> v = hwtest::viewlines();
    EXPECT_EQ(v[lb.top], "line " + std::to_string(last));
}

// A bar left behind by more lines than the view holds now never puts the top past the
// last line.
TEST_F(Scroll, TopNeverPassesTheLineCount) {
    clearoutput();
    add({"a", "b", "c"});
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE, 0, 99, 10};
    SetScrollInfo(w, SB_VERT, &si, FALSE);
    vs(SB_THUMBTRACK, 50);
    EXPECT_EQ(lb.top, 3);
    paint();  // the page recomputation brings it back
    EXPECT_EQ(lb.top, 0);
}

TEST_F(Scroll, HorizontalRequestsStopAt221AndZero) {
    hs(SB_LINERIGHT);
    EXPECT_EQ(lb.leftcol, 1);
    hs(SB_PAGERIGHT);
    EXPECT_EQ(lb.leftcol, 41);
    EXPECT_EQ(hpos(), 41);
    hs(SB_PAGELEFT);
    EXPECT_EQ(lb.leftcol, 1);
    hs(SB_PAGELEFT);
    EXPECT_EQ(lb.leftcol, 0);
    hs(SB_LINELEFT);
    EXPECT_EQ(lb.leftcol, 0);
    hs(SB_THUMBTRACK, 500);
    EXPECT_EQ(lb.leftcol, 221);
    EXPECT_EQ(hpos(), 221);
    hs(SB_LINERIGHT);
    hs(SB_PAGERIGHT);
    EXPECT_EQ(lb.leftcol, 221);
    hs(SB_LEFT);
    hs(SB_RIGHT);
    hs(SB_ENDSCROLL);
    EXPECT_EQ(lb.leftcol, 221);
    hs(SB_THUMBPOSITION, 7);
    EXPECT_EQ(lb.leftcol, 7);
    // the horizontal range does not follow the lines
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE};
    GetScrollInfo(w, SB_HORZ, &si);
    EXPECT_EQ(si.nMax, 260);
    EXPECT_EQ(si.nPage, 40u);
}

TEST_F(Scroll, KeysScrollAndHomeEndDoNothing) {
    key(VK_NEXT);
    expecttop(lb.page);
    key(VK_DOWN);
    expecttop(lb.page + 1);
    key(VK_UP);
    key(VK_UP);
    expecttop(lb.page - 1);
    key(VK_PRIOR);
    expecttop(0);
    key(VK_RIGHT);
    key(VK_RIGHT);
    EXPECT_EQ(lb.leftcol, 2);
    key(VK_LEFT);
    EXPECT_EQ(lb.leftcol, 1);
    settop(30);
    key(VK_HOME);
    key(VK_END);
    expecttop(30);
    EXPECT_EQ(lb.leftcol, 1);
}

class Wheel : public Scroll {
protected:
    UINT saved = 3;
    void SetUp() override {
        Scroll::SetUp();
        SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &saved, 0);
        lb.wheelrest = 0;
    }
    void TearDown() override {
        lines(saved);
        Scroll::TearDown();
    }
    void lines(UINT n) {
        SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, n, nullptr, 0);
        SendMessageA(w, WM_WININICHANGE, 0, 0);
    }
    void wheel(int delta) { SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, (short)delta), 0); }
};

TEST_F(Wheel, ThreeLinesPerNotchAndTheRestCarriesOver) {
    lines(3);
    EXPECT_EQ(lb.wheelstep, 40);
    settop(50);
    wheel(120);
    expecttop(47);
    wheel(-120);
    expecttop(50);
    wheel(20);
    expecttop(50);
    EXPECT_EQ(lb.wheelrest, 20);
    wheel(20);
    expecttop(49);
    EXPECT_EQ(lb.wheelrest, 0);
    wheel(-60);
    expecttop(50);
    EXPECT_EQ(lb.wheelrest, -20);
    wheel(-20);
    expecttop(51);
}

TEST_F(Wheel, NoLinesOrMoreThan120DoNothing) {
    settop(50);
    for (UINT n : {0u, 121u, (UINT)WHEEL_PAGESCROLL}) {
        lines(n);
        EXPECT_EQ(lb.wheelstep, 0) << n;
        wheel(120);
        wheel(-240);
        expecttop(50);
    }
    lines(120);
    EXPECT_EQ(lb.wheelstep, 1);
}

}  // namespace
