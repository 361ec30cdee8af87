#include "dialogs/dlgtemplate.h"

int DlgWriter::word(unsigned v) {
    words[at] = (uint16_t)v;
    return at++;
}

void DlgWriter::dword(uint32_t v) {
    word(v & 0xFFFF);
    word(v >> 16);
}

void DlgWriter::text(const char* s) {
    while (*s) word((unsigned char)*s++);
    word(0);
}

void DlgWriter::align4() {
    if (at & 1) word(0);
}

void DlgWriter::header(uint32_t style, int items, int cx, int cy, int pointsize, const char* face,
                       int* cxat, int* pointat, int* faceat) {
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

void DlgWriter::item(uint32_t style, int x, int y, int cx, int cy, int id, unsigned cls,
                     const char* clsname, const char* itemtext, int* xat, int* cxat) {
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
