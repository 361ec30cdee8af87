// In-memory dialog templates, written word by word as the platform reads them: a
// DLGTEMPLATE header and DLGITEMTEMPLATE items, each item on a 4-byte boundary.
// Window-free. Everything here is constexpr, so that a template's size is counted at
// compile time by the same code that writes it, and its buffer sized from that count.
#pragma once
#include <stdint.h>

const unsigned classbutton = 0x0080, classstatic = 0x0082, classscrollbar = 0x0084;

// Writes into words[0, cap). Without a buffer it only counts. A word that does not fit
// is refused, never written past the buffer, and marks the writing as overflowed: such
// a template must not be shown.
struct DlgWriter {
    uint16_t* words = nullptr;
    int cap = 0;
    int at = 0;  // words written (or counted) so far, refused ones included
    bool overflow = false;

    constexpr int word(unsigned v) {
        if (words) {
            if (at < cap)
                words[at] = (uint16_t)v;
            else
                overflow = true;
        }
        return at++;
    }
    constexpr void dword(uint32_t v) {  // two words, low first, as the platform stores it
        word(v & 0xFFFF);
        word(v >> 16);
    }
    constexpr void text(const char* s) {  // ASCII as UTF-16, NUL-terminated
        while (*s) word((unsigned char)*s++);
        word(0);
    }
    constexpr void align4() {
        if (at & 1) word(0);
    }
    // The header: style, no extended style, the item count, at 0,0, cx by cy, no menu,
    // the standard dialog class, an empty title, then the font. The offsets of cx, of
    // the point size and of the face name go where asked (when not null).
    constexpr void header(uint32_t style, int items, int cx, int cy, int pointsize,
                          const char* face, int* cxat = nullptr, int* pointat = nullptr,
                          int* faceat = nullptr) {
        dword(style);
        dword(0);
        word(items);
        word(0);  // x
        word(0);  // y
        int cxw = word(cx);
        word(cy);
        word(0);  // no menu
        word(0);  // the standard dialog class
        word(0);  // empty title
        int pw = word(pointsize);
        if (cxat) *cxat = cxw;
        if (pointat) *pointat = pw;
        if (faceat) *faceat = at;
        text(face);
    }
    // One item: style, no extended style, x, y, cx, cy, id, its class by ordinal (cls)
    // or, when clsname is given, by name, its text and no creation data. The offsets of
    // x and cx go where asked.
    constexpr void item(uint32_t style, int x, int y, int cx, int cy, int id, unsigned cls,
                        const char* clsname, const char* itemtext, int* xat = nullptr,
                        int* cxat = nullptr) {
        align4();
        dword(style);
        dword(0);
        int xw = word(x);
        word(y);
        int cxw = word(cx);
        word(cy);
        word(id);
        if (clsname) {
            text(clsname);
        } else {
            word(0xFFFF);
            word(cls);
        }
        text(itemtext);
        word(0);  // no creation data
        if (xat) *xat = xw;
        if (cxat) *cxat = cxw;
    }
};

// The words a template writer `write(DlgWriter&)` needs, counted without writing.
template <class Write>
constexpr int dlgwords(Write write) {
    DlgWriter w;
    write(w);
    return w.at;
}
