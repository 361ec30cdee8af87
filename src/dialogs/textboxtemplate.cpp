#include "dialogs/textboxtemplate.h"
#include "dialogs/dlgtemplate.h"

TbTemplate tbtemplate = tbinitial();

TbTemplate tbinitial() {
    TbTemplate t = {};
    DlgWriter w = {t.words, 0};
    // WS_POPUP WS_VISIBLE WS_CAPTION WS_SYSMENU DS_MODALFRAME DS_SETFONT DS_3DLOOK; the
    // title is set when the box opens.
    w.header(0x90C800C4, 4, 301, 158, 8, "MS Sans Serif", &t.dialogcx, &t.pointsize, &t.facename);
    w.item(0x50010300, 95, 136, 50, 14, 1, classbutton, nullptr, "OK", &t.okx);
    w.item(0x50801000, 14, 9, 263, 118, 101, classstatic, nullptr, "", nullptr, &t.staticcx);
    w.item(0x50000005, 276, 8, 11, 118, 102, classscrollbar, nullptr, "", &t.scrollx);
    w.item(0x50010300, 155, 136, 50, 14, 103, classbutton, nullptr, "Copy", &t.copyx);
    t.size = w.at * 2;
    return t;
}
