#include "dialogs/tbtemplate.h"

TbTemplate tbtemplate = tbinitial();

namespace {

struct Writer {
    TbTemplate* t;
    int at;
    int word(unsigned v) {
        t->words[at] = (uint16_t)v;
        return at++;
    }
    void dword(uint32_t v) {  // little-endian, as the platform stores it
        word(v & 0xFFFF);
        word(v >> 16);
    }
    void text(const char* s) {  // UTF-16 from ASCII, NUL-terminated
        while (*s) word((unsigned char)*s++);
        word(0);
    }
    void align4() {
        if (at & 1) word(0);
    }
};

// One item: style, extended style, x, y, cx, cy, id, class ordinal, text, no creation
// data. Fills the offsets of x and cx.
void item(Writer& w, uint32_t style, int x, int y, int cx, int cy, int id, unsigned cls,
          const char* text, int* xat, int* cxat) {
    w.align4();
    w.dword(style);
    w.dword(0);
    int xw = w.word(x);
    w.word(y);
    int cxw = w.word(cx);
    w.word(cy);
    w.word(id);
    w.word(0xFFFF);
    w.word(cls);
    w.text(text);
    w.word(0);
    if (xat) *xat = xw;
    if (cxat) *cxat = cxw;
}

const unsigned button = 0x0080, statictext = 0x0082, scrollbar = 0x0084;

}  // namespace

TbTemplate tbinitial() {
    TbTemplate t = {};
    Writer w = {&t, 0};
    w.dword(0x90C800C4);  // WS_POPUP WS_VISIBLE WS_CAPTION WS_SYSMENU DS_MODALFRAME DS_SETFONT DS_3DLOOK
    w.dword(0);
    w.word(4);  // items
    w.word(0);  // x
    w.word(0);  // y
    t.dialogcx = w.word(301);
    w.word(158);  // cy
    w.word(0);    // no menu
    w.word(0);    // the standard dialog class
    w.word(0);    // empty title: set when the box opens
    t.pointsize = w.word(8);
    t.facename = w.at;
    w.text("MS Sans Serif");
    item(w, 0x50010300, 95, 136, 50, 14, 1, button, "OK", &t.okx, nullptr);
    item(w, 0x50801000, 14, 9, 263, 118, 101, statictext, "", nullptr, &t.staticcx);
    item(w, 0x50000005, 276, 8, 11, 118, 102, scrollbar, "", &t.scrollx, nullptr);
    item(w, 0x50010300, 155, 136, 50, 14, 103, button, "Copy", &t.copyx, nullptr);
    t.size = w.at * 2;
    return t;
}
