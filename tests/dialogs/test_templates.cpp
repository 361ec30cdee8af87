// The in-memory dialog templates, without windows: the writer never writes past its
// buffer, each template fills the buffer sized for it, and the busy indicator's words
// are laid out field by field as the dialog manager reads them.
#include <gtest/gtest.h>
#include <stdint.h>
#include <string>
#include "dialogs/busytemplate.h"
#include "dialogs/dlgtemplate.h"
#include "dialogs/textboxtemplate.h"

namespace {

// A buffer too small for what is written: the words past it are refused, the ones
// around it untouched, and the writing is marked as overflowed.
TEST(DlgWriter, RefusesEveryWordPastItsBuffer) {
    uint16_t words[40];
    for (uint16_t& w : words) w = 0xA5A5;
    DlgWriter w = {words + 4, 20};
    w.header(0x90840044u, 1, 222, 47, 8, "MS Sans Serif");
    w.item(0x50000001u, 7, 9, 209, 9, 101, classstatic, nullptr, "");
    EXPECT_TRUE(w.overflow);
    EXPECT_GT(w.at, 20);  // the count goes on: what the template would have needed
    for (int i : {0, 1, 2, 3}) EXPECT_EQ(words[i], 0xA5A5) << i;
    for (int i = 24; i < 40; i++) EXPECT_EQ(words[i], 0xA5A5) << i;
    EXPECT_EQ(words[4], 0x0044);  // what fits is written
}

// Each template is written whole into the buffer counted for it.
TEST(DlgWriter, EachTemplateFillsTheBufferCountedForIt) {
    EXPECT_EQ(busytemplatesize, busytemplatewords * 2);
    TbTemplate t = tbinitial();
    EXPECT_EQ(t.size, tbwords * 2);
    EXPECT_EQ(tbtemplate.size, tbwords * 2);
    EXPECT_EQ((uintptr_t)busytemplate % 4, 0u);
    EXPECT_EQ((uintptr_t)tbtemplate.words % 4, 0u);
}

// Walks the template as the dialog manager reads it.
struct Reader {
    const unsigned char* base;
    int at = 0;
    unsigned word() {
        unsigned v = base[at] | base[at + 1] << 8;
        at += 2;
        return v;
    }
    unsigned dword() {
        unsigned lo = word();
        return lo | word() << 16;
    }
    int sword() { return (short)word(); }
    std::string wide() {
        std::string s;
        for (unsigned c; (c = word()) != 0;) s += (char)c;
        return s;
    }
    void align() { at = (at + 3) & ~3; }
};

struct Item {
    unsigned style, exstyle;
    int x, y, cx, cy;
    unsigned id;
    std::string cls;  // "#130" for an ordinal
    std::string text;
    unsigned extra;
};

TEST(BusyTemplate, HeaderAndItemsAreLaidOutFieldByField) {
    Reader r{(const unsigned char*)busytemplate};
    EXPECT_EQ(r.dword(), 0x90840044u);
    EXPECT_EQ(r.dword(), 0u);
    EXPECT_EQ(r.word(), 3u);
    EXPECT_EQ(r.sword(), 0);
    EXPECT_EQ(r.sword(), 0);
    EXPECT_EQ(r.sword(), 222);
    EXPECT_EQ(r.sword(), 47);
    EXPECT_EQ(r.word(), 0u);  // menu
    EXPECT_EQ(r.word(), 0u);  // class
    EXPECT_EQ(r.word(), 0u);  // title
    EXPECT_EQ(r.word(), 8u);
    EXPECT_EQ(r.wide(), "MS Sans Serif");
    EXPECT_EQ(r.at, 54);

    const Item want[3] = {
        {0x50000001u, 0, 7, 9, 209, 9, 101, "#130", "", 0},
        {0x50800000u, 0, 8, 25, 178, 10, 102, "msctls_progress32", "", 0},
        {0x50000000u, 0, 194, 26, 20, 8, 103, "#130", "", 0},
    };
    const int starts[3] = {56, 84, 144};
    for (int i = 0; i < 3; i++) {
        int padstart = r.at;
        r.align();
        for (int p = padstart; p < r.at; p++) EXPECT_EQ(((const unsigned char*)busytemplate)[p], 0);
        EXPECT_EQ(r.at, starts[i]) << i;
        Item got;
        got.style = r.dword();
        got.exstyle = r.dword();
        got.x = r.sword(), got.y = r.sword(), got.cx = r.sword(), got.cy = r.sword();
        got.id = r.word();
        unsigned first = r.word();
        if (first == 0xffff) {
            got.cls = "#" + std::to_string(r.word());
        } else {
            r.at -= 2;
            got.cls = r.wide();
        }
        got.text = r.wide();
        got.extra = r.word();
        EXPECT_EQ(got.style, want[i].style) << i;
        EXPECT_EQ(got.exstyle, want[i].exstyle) << i;
        EXPECT_EQ(got.x, want[i].x) << i;
        EXPECT_EQ(got.y, want[i].y) << i;
        EXPECT_EQ(got.cx, want[i].cx) << i;
        EXPECT_EQ(got.cy, want[i].cy) << i;
        EXPECT_EQ(got.id, want[i].id) << i;
        EXPECT_EQ(got.cls, want[i].cls) << i;
        EXPECT_EQ(got.text, want[i].text) << i;
        EXPECT_EQ(got.extra, want[i].extra) << i;
    }
    EXPECT_EQ(r.at, busytemplatesize);
}

}  // namespace
