// The scrolling text box's in-memory dialog template, window-free: a dialog header and
// four items laid out word by word as the platform's DLGTEMPLATE and DLGITEMTEMPLATE,
// each item on a 4-byte boundary, in a buffer sized from what is written into it.
// Every showing changes five of its words in place.
#pragma once
#include <stdint.h>
#include "dialogs/dlgtemplate.h"

// Word offsets of the 16-bit fields a showing changes, and of the face name.
struct TbFields {
    int dialogcx, okx, staticcx, scrollx, copyx;
    int pointsize, facename;
};

constexpr void tbwrite(DlgWriter& w, TbFields* f) {
    // WS_POPUP WS_VISIBLE WS_CAPTION WS_SYSMENU DS_MODALFRAME DS_SETFONT DS_3DLOOK; the
    // title is set when the box opens.
    w.header(0x90C800C4, 4, 301, 158, 8, "MS Sans Serif", &f->dialogcx, &f->pointsize,
             &f->facename);
    w.item(0x50010300, 95, 136, 50, 14, 1, classbutton, nullptr, "OK", &f->okx);
    w.item(0x50801000, 14, 9, 263, 118, 101, classstatic, nullptr, "", nullptr, &f->staticcx);
    w.item(0x50000005, 276, 8, 11, 118, 102, classscrollbar, nullptr, "", &f->scrollx);
    w.item(0x50010300, 155, 136, 50, 14, 103, classbutton, nullptr, "Copy", &f->copyx);
}

constexpr int tbwords = dlgwords([](DlgWriter& w) {
    TbFields f = {};
    tbwrite(w, &f);
});

struct TbTemplate : TbFields {
    alignas(4) uint16_t words[tbwords];
    int size;  // bytes written, 0 when the template did not fit
};

// The template every showing uses; it keeps the sizes the last showing left.
extern TbTemplate tbtemplate;

// The template's values at program start.
TbTemplate tbinitial();
// A field of the template; an offset outside it reads 0 and writes nothing.
inline int tbget(const TbTemplate& t, int word) {
    return word >= 0 && word < tbwords ? (int16_t)t.words[word] : 0;
}
inline void tbset(TbTemplate* t, int word, int value) {
    if (word >= 0 && word < tbwords) t->words[word] = (uint16_t)value;
}
