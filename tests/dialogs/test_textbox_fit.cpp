// The text box's template and fitting arithmetic, without a window.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include "dialogs/textboxfit.h"

namespace {

struct Fields {
    int dialogcx, okx, staticcx, scrollx, copyx;
};
Fields fields(const TbTemplate& t) {
    return {tbget(t, t.dialogcx), tbget(t, t.okx), tbget(t, t.staticcx), tbget(t, t.scrollx),
            tbget(t, t.copyx)};
}

// Every character measures 6 pixels, as an alphabet of 372 pixels gives.
bool sixeach(void*, const char*, int n, int* width) {
    *width = 6 * n;
    return true;
}
// Fails on the line that starts with 'x'.
bool failonx(void*, const char* s, int n, int* width) {
    if (*s == 'x') return false;
    *width = 6 * n;
    return true;
}

TEST(TextboxFit, WorkedExampleThenASecondNarrowerText) {
    TbTemplate t = tbinitial();
    ASSERT_TRUE(tbfit(&t, 600, 6));
    Fields f = fields(t);
    EXPECT_EQ(f.staticcx, 420);
    EXPECT_EQ(f.dialogcx, 458);
    EXPECT_EQ(f.scrollx, 433);
    EXPECT_EQ(f.okx, 173);
    EXPECT_EQ(f.copyx, 233);
    ASSERT_TRUE(tbfit(&t, 300, 6));
    f = fields(t);
    EXPECT_EQ(f.staticcx, 210);
    EXPECT_EQ(f.dialogcx, 248);
    EXPECT_EQ(f.scrollx, 223);
    EXPECT_EQ(f.okx, 68);   // 173 + (-210 / 2 = -105)
    EXPECT_EQ(f.copyx, 128);

    TbTemplate fresh = tbinitial();
    ASSERT_TRUE(tbfit(&fresh, 300, 6));
    EXPECT_EQ(fields(fresh).okx, 69);  // 95 + (-53 / 2 = -26): truncated toward zero
    EXPECT_EQ(fields(fresh).copyx, 129);
}

TEST(TextboxFit, SameWidthTwiceChangesNothingAndNoAverageWidthLeavesTheTemplate) {
    TbTemplate t = tbinitial();
    tbfit(&t, 600, 6);
    TbTemplate once = t;
    tbfit(&t, 600, 6);
    EXPECT_EQ(memcmp(once.words, t.words, sizeof t.words), 0);

    TbTemplate start = tbinitial();
    TbTemplate u = start;
    EXPECT_FALSE(tbfit(&u, 600, 0));  // nothing measured: no division, no change
    EXPECT_FALSE(tbfit(&u, 600, -3));
    EXPECT_EQ(memcmp(start.words, u.words, sizeof u.words), 0);
}

TEST(TextboxFit, WidestLineCountsTabsAsFiveWidthsAndStartsAtTwenty) {
    EXPECT_EQ(tbwidest("", 6, sixeach, nullptr), 20);
    EXPECT_EQ(tbwidest("\n\n", 6, sixeach, nullptr), 20);
    EXPECT_EQ(tbwidest("ab", 6, sixeach, nullptr), 20);  // 12 pixels: 20 stays
    EXPECT_EQ(tbwidest("abcd\nabcdefgh\nab", 6, sixeach, nullptr), 48);
    // a tab measures as one character here (6) plus five average widths (30)
    EXPECT_EQ(tbwidest("abc\n\tab", 6, sixeach, nullptr), 3 * 6 + 30);
    EXPECT_EQ(tbwidest("\t\t", 7, sixeach, nullptr), 12 + 70);
    EXPECT_EQ(tbstaticwidth(20, 6), 14);  // 84 / 6: an empty text
    EXPECT_EQ(tbstaticwidth(20, 7), 12);
}

TEST(TextboxFit, MeasuringStopsAtTheFirstFailureWithTheWidestSoFar) {
    EXPECT_EQ(tbwidest("abcdef\nx\nabcdefghijklmnop", 6, failonx, nullptr), 36);
}

TEST(TextboxFit, LinesAndSkipping) {
    EXPECT_EQ(tblinecount(""), 1);
    EXPECT_EQ(tblinecount("a\nb"), 2);
    EXPECT_EQ(tblinecount("a\nb\n"), 3);
    const char* t = "one\ntwo\n\nfour";
    EXPECT_EQ(skiplines(0, t), t);
    EXPECT_EQ(skiplines(-4, t), t);
    EXPECT_STREQ(skiplines(1, t), "two\n\nfour");
    EXPECT_STREQ(skiplines(2, t), "\nfour");
    EXPECT_STREQ(skiplines(3, t), "four");
    EXPECT_STREQ(skiplines(4, t), "");
    EXPECT_STREQ(skiplines(400, t), "");
    EXPECT_STREQ(skiplines(1, "a\n"), "");
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
