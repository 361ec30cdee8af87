// In-memory dialog templates, written word by word as the platform reads them: a
// DLGTEMPLATE header and DLGITEMTEMPLATE items, each item on a 4-byte boundary.
// Window-free.
#pragma once
#include <stdint.h>

const unsigned classbutton = 0x0080, classstatic = 0x0082, classscrollbar = 0x0084;

struct DlgWriter {
    uint16_t* words;
    int at;  // words written so far

    int word(unsigned v);    // returns the word's offset
    void dword(uint32_t v);  // two words, low first, as the platform stores it
    void text(const char* s);  // ASCII as UTF-16, NUL-terminated
    void align4();
    // The header: style, no extended style, the item count, at 0,0, cx by cy, no menu,
    // the standard dialog class, an empty title, then the font. The offsets of cx, of
    // the point size and of the face name go where asked (when not null).
    void header(uint32_t style, int items, int cx, int cy, int pointsize, const char* face,
                int* cxat = nullptr, int* pointat = nullptr, int* faceat = nullptr);
    // One item: style, no extended style, x, y, cx, cy, id, its class by ordinal (cls)
    // or, when clsname is given, by name, its text and no creation data. The offsets of
    // x and cx go where asked.
    void item(uint32_t style, int x, int y, int cx, int cy, int id, unsigned cls,
              const char* clsname, const char* text, int* xat = nullptr, int* cxat = nullptr);
};
