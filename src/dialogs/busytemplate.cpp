#include "dialogs/busytemplate.h"
#include "dialogs/dlgtemplate.h"

static constexpr void writebusy(DlgWriter& w) {
    // WS_POPUP | WS_VISIBLE | WS_BORDER | WS_THICKFRAME | DS_SETFONT | DS_3DLOOK, no title.
    w.header(0x90840044u, 3, 222, 47, 8, "MS Sans Serif");
    w.item(0x50000001u, 7, 9, 209, 9, busycaption, classstatic, nullptr, "");  // centred
    w.item(0x50800000u, 8, 25, 178, 10, busybar, 0, "msctls_progress32", "");
    w.item(0x50000000u, 194, 26, 20, 8, busypercent, classstatic, nullptr, "");  // left
}

constexpr int busytemplatewords = dlgwords(writebusy);
alignas(4) uint16_t busytemplate[busytemplatewords];

static int buildbusytemplate() {
    DlgWriter w = {busytemplate, busytemplatewords};
    writebusy(w);
    return w.overflow ? 0 : w.at * 2;
}

const int busytemplatesize = buildbusytemplate();
