// The scrolling text box as the user sees it: shown modally in-process.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include "dialogs/textboxfit.h"
#include "dialogs/textbox.h"
#include "resources/resource.h"
#include "hwtest.h"
#include "modal.h"
#include "app/commands.h"

namespace {

using hwtest::Step;

HWND makeowner() {
    return CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

std::string statictext(HWND box) {
    char buf[4096] = "";
    GetDlgItemTextA(box, 101, buf, sizeof buf);
    return buf;
}

SCROLLINFO bar(HWND box) {
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS};
    GetScrollInfo(GetDlgItem(box, 102), SB_CTL, &si);
    return si;
}

void vscroll(HWND box, int code, int thumb = 0) {
    SendMessageA(box, WM_VSCROLL, MAKEWPARAM(code, thumb), (LPARAM)GetDlgItem(box, 102));
}

std::string lines(int from, int to) {  // "line<from>\n...line<to-1>" of a 20-line text
    std::string s;
    for (int i = from; i < to; i++) s += "line" + std::to_string(i) + (i + 1 < to ? "\n" : "");
    return s;
}

class Textbox : public testing::Test {
protected:
    HWND owner = nullptr;
    void SetUp() override {
        tbtemplate = tbinitial();
        owner = makeowner();
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override { DestroyWindow(owner); }
    bool show(const char* text, const char* title, const std::vector<Step>& steps) {
        return hwtest::withdialogs([&] { showtextbox(owner, text, title); }, steps);
    }
};

TEST_F(Textbox, OpensWithTitleWholeTextAndButtonsThenOKCloses) {
    char title[256] = "";
    std::string shown;
    bool okthere = false, copythere = false;
    ASSERT_TRUE(show("first\nsecond", "A title", {[&](HWND box) {
                         GetWindowTextA(box, title, sizeof title);
                         shown = statictext(box);
                         okthere = GetDlgItem(box, IDOK) != nullptr;
                         char c[16] = "";
                         GetDlgItemTextA(box, 103, c, sizeof c);
                         copythere = !strcmp(c, "Copy");
                         hwtest::click(box, IDOK);
                     }}));
    EXPECT_STREQ(title, "A title");
    EXPECT_EQ(shown, "first\nsecond");
    EXPECT_TRUE(okthere);
    EXPECT_TRUE(copythere);
    EXPECT_TRUE(hwtest::threaddialogs().empty());
}

TEST_F(Textbox, TwoOneLetterLinesNeverScroll) {
    SCROLLINFO si = {};
    std::vector<int> positions;
    std::string after;
    std::vector<Step> steps = {[&](HWND box) {
        si = bar(box);
        for (int code : {SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM, SB_LINEUP, SB_PAGEUP}) {
            vscroll(box, code);
            positions.push_back(bar(box).nPos);
        }
        vscroll(box, SB_THUMBTRACK, 1);
        positions.push_back(bar(box).nPos);
        after = statictext(box);
        hwtest::click(box, IDCANCEL);
    }};
    ASSERT_TRUE(show("a\nb", "t", steps));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 2);
    EXPECT_EQ(si.nPos, 0);
    for (int p : positions) EXPECT_EQ(p, 0);
    EXPECT_EQ(after, "a\nb");
}

TEST_F(Textbox, TwentyLinesStartAtZeroToThirteen) {
    std::string text = lines(0, 20);
    int max = -1, page = -1;
    std::vector<std::pair<int, std::string>> seen;
    auto record = [&](HWND box) { seen.push_back({bar(box).nPos, statictext(box)}); };
    std::vector<Step> steps = {[&](HWND box) {
        max = bar(box).nMax;
        page = (int)bar(box).nPage;
        vscroll(box, SB_LINEUP);  // at 0: stays
        record(box);
        vscroll(box, SB_THUMBPOSITION, 10);
        record(box);
        vscroll(box, SB_PAGEDOWN);  // 18, clamped to 20 - 8 + 1
        record(box);
        vscroll(box, SB_LINEDOWN);
        record(box);
        vscroll(box, SB_TOP);
        record(box);
        vscroll(box, SB_BOTTOM);
        record(box);
        vscroll(box, SB_PAGEUP);
        record(box);
        vscroll(box, SB_LINEUP);
        record(box);
        hwtest::click(box, IDOK);
    }};
    ASSERT_TRUE(show(text.c_str(), "t", steps));
    EXPECT_EQ(max, 20);
    EXPECT_EQ(page, 8);
    ASSERT_EQ(seen.size(), 8u);
    int want[8] = {0, 10, 13, 13, 13, 13, 5, 4};
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(seen[i].first, want[i]) << i;
        EXPECT_EQ(seen[i].second, lines(want[i], 20)) << i;
    }
}

TEST_F(Textbox, TrailingLineFeedCountsAnEmptyLine) {
    int max = -1;
    ASSERT_TRUE(show("a\nb\n", "t", {[&](HWND box) {
                         max = bar(box).nMax;
                         hwtest::click(box, IDOK);
                     }}));
    EXPECT_EQ(max, 3);
}

TEST_F(Textbox, CopyAfterScrollingPutsTheWholeTextOnTheClipboard) {
    hwtest::InputTurn turn;
    hwtest::Notices notices;
    hwtest::setclipboardtext("before");
    std::string text = lines(0, 20);
    int pos = -1;
    ASSERT_TRUE(show(text.c_str(), "t", {[&](HWND box) {
                         vscroll(box, SB_THUMBPOSITION, 5);
                         pos = bar(box).nPos;
                         hwtest::click(box, 103);
                         hwtest::click(box, IDOK);
                     }}));
    EXPECT_EQ(pos, 5);
    std::string got;
    size_t bytes = 0;
    ASSERT_TRUE(hwtest::clipboardtext(&got, &bytes));
    EXPECT_EQ(got, text);
    EXPECT_GE(bytes, text.size() + 1);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Success");
    EXPECT_EQ(notices[0].text, "Text copied to ClipBoard.");
    EXPECT_EQ(notices[0].style, (unsigned)(MB_OK | MB_TASKMODAL));
}

TEST_F(Textbox, EscapeClosesTheBox) {
    ASSERT_TRUE(show("x", "t", {[&](HWND box) {
                         // Under load the first tick may come before the box has taken
                         // the focus from its owner, where the key would be lost.
                         HWND focus = GetFocus();
                         bool inbox = focus && (focus == box || IsChild(box, focus));
                         PostMessageA(inbox ? focus : box, WM_KEYDOWN, VK_ESCAPE, 0);
                     }}));
    EXPECT_TRUE(hwtest::threaddialogs().empty());
}

// The static is fitted to the widest line, measured in the box's own font.
TEST_F(Textbox, StaticIsWideEnoughForTheWidestLineAndTheBoxFollowsIt) {
    std::string wide(120, 'W');
    std::string text = "short\n" + wide + "\nend";
    int staticwidth = 0, needed = 0, boxwidth = 0, scrollleft = 0;
    ASSERT_TRUE(show(text.c_str(), "t", {[&](HWND box) {
                         HWND st = GetDlgItem(box, 101);
                         RECT r;
                         GetClientRect(st, &r);
                         staticwidth = r.right;
                         HDC dc = GetDC(st);
                         HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(st, WM_GETFONT, 0, 0));
                         SIZE sz;
                         GetTextExtentPoint32A(dc, wide.c_str(), (int)wide.size(), &sz);
                         needed = sz.cx;
                         SelectObject(dc, old);
                         ReleaseDC(st, dc);
                         GetClientRect(box, &r);
                         boxwidth = r.right;
                         GetWindowRect(GetDlgItem(box, 102), &r);
                         POINT p = {r.left, r.top};
                         ScreenToClient(box, &p);
                         scrollleft = p.x;
                         hwtest::click(box, IDOK);
                     }}));
    EXPECT_GE(staticwidth, needed);
    // Not much wider: the 5% margin, the average width rounded down (up to a sixth at
    // this font's 5-6 pixels) and the dialog units' own rounding.
    EXPECT_LE(staticwidth, needed * 14 / 10 + 20);
    EXPECT_GT(scrollleft, staticwidth);
    EXPECT_GT(boxwidth, scrollleft);
}

TEST_F(Textbox, ShowingTheSameTextTwiceLeavesTheTemplateAsTheFirstShowingLeftIt) {
    const char* text = "a somewhat longer line of text\nand a second one\n\twith a tab";
    ASSERT_TRUE(show(text, "t", {[](HWND box) { hwtest::click(box, IDOK); }}));
    TbTemplate once = tbtemplate;
    EXPECT_NE(tbget(once, once.staticcx), 263);
    ASSERT_TRUE(show(text, "t", {[](HWND box) { hwtest::click(box, IDOK); }}));
    EXPECT_EQ(memcmp(once.words, tbtemplate.words, sizeof once.words), 0);
}

// The owner's device context cannot be had: nothing is measured, the template keeps its
// sizes, and the failure to open the box is told.
TEST_F(Textbox, NoDeviceContextLeavesTheTemplateAndReportsTheFailedShowing) {
    hwtest::Notices notices;
    HWND gone = makeowner();
    DestroyWindow(gone);
    ASSERT_EQ(GetDC(gone), nullptr);
    TbTemplate before = tbtemplate;
    showtextbox(gone, "some text", "t");
    EXPECT_EQ(memcmp(before.words, tbtemplate.words, sizeof before.words), 0);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Error");
    EXPECT_EQ(notices[0].text.rfind("DialogBoxIndirectParam failed:\n", 0), 0u);
}

TEST_F(Textbox, AboutCommandShowsTheAboutText) {
    char title[256] = "";
    std::string shown;
    ASSERT_TRUE(hwtest::withdialogs([&] { dispatchcommand(owner, IDM_ABOUT); },
                                    {[&](HWND box) {
                                        GetWindowTextA(box, title, sizeof title);
                                        shown = statictext(box);
                                        hwtest::click(box, IDOK);
                                    }}));
    EXPECT_STREQ(title, "About HOSTWARDEN 5.3.3");
    EXPECT_EQ(shown, abouttext);
    EXPECT_EQ(shown.rfind("A program to monitor a couple of ranges of local IPs.\n\n", 0), 0u);
}

// The words against the platform's own template structures.
TEST(TextboxTemplate, HeaderAndItemsAsThePlatformReadsThem) {
    TbTemplate t = tbinitial();
    ASSERT_EQ((uintptr_t)tbtemplate.words % 4, 0u);
    const DLGTEMPLATE* d = (const DLGTEMPLATE*)t.words;
    EXPECT_EQ(d->style, 0x90C800C4u);
    EXPECT_EQ(d->style, (DWORD)(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                DS_SETFONT | DS_3DLOOK));
    EXPECT_EQ(d->dwExtendedStyle, 0u);
    EXPECT_EQ(d->cdit, 4);
    EXPECT_EQ(d->x, 0);
    EXPECT_EQ(d->y, 0);
    EXPECT_EQ(d->cx, 301);
    EXPECT_EQ(d->cy, 158);
    const WORD* w = (const WORD*)(d + 1);
    EXPECT_EQ(w[0], 0);  // menu
    EXPECT_EQ(w[1], 0);  // class
    EXPECT_EQ(w[2], 0);  // title
    EXPECT_EQ(w[3], 8);  // point size
    EXPECT_EQ(wcscmp((const wchar_t*)(w + 4), L"MS Sans Serif"), 0);
    const BYTE* p = (const BYTE*)(w + 4 + 14);

    struct Want {
        DWORD style;
        short x, y, cx, cy;
        WORD id, cls;
        const wchar_t* text;
    } want[4] = {{0x50010300, 95, 136, 50, 14, 1, 0x80, L"OK"},
                 {0x50801000, 14, 9, 263, 118, 101, 0x82, L""},
                 {0x50000005, 276, 8, 11, 118, 102, 0x84, L""},
                 {0x50010300, 155, 136, 50, 14, 103, 0x80, L"Copy"}};
    EXPECT_EQ(want[1].style, (DWORD)(WS_CHILD | WS_VISIBLE | WS_BORDER | SS_LEFT | SS_SUNKEN));
    EXPECT_EQ(want[2].style, (DWORD)(WS_CHILD | WS_VISIBLE | SBS_VERT | SBS_RIGHTALIGN));
    EXPECT_EQ(want[0].style, (DWORD)(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER));
    for (int i = 0; i < 4; i++) {
        p = (const BYTE*)(((uintptr_t)p + 3) & ~(uintptr_t)3);  // items start on 4 bytes
        const DLGITEMTEMPLATE* it = (const DLGITEMTEMPLATE*)p;
        EXPECT_EQ(it->style, want[i].style) << i;
        EXPECT_EQ(it->dwExtendedStyle, 0u) << i;
        EXPECT_EQ(it->x, want[i].x) << i;
        EXPECT_EQ(it->y, want[i].y) << i;
        EXPECT_EQ(it->cx, want[i].cx) << i;
        EXPECT_EQ(it->cy, want[i].cy) << i;
        EXPECT_EQ(it->id, want[i].id) << i;
        const WORD* q = (const WORD*)(it + 1);
        EXPECT_EQ(q[0], 0xFFFF) << i;
        EXPECT_EQ(q[1], want[i].cls) << i;
        EXPECT_EQ(wcscmp((const wchar_t*)(q + 2), want[i].text), 0) << i;
        q += 2 + wcslen(want[i].text) + 1;
        EXPECT_EQ(q[0], 0) << i;  // no creation data
        p = (const BYTE*)(q + 1);
    }
    EXPECT_EQ(p - (const BYTE*)t.words, t.size);
}

}  // namespace
