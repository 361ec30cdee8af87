#include "dialogs/busytemplate.h"

// 32-bit fields are stored as two 16-bit words, low word first.
#define DW(v) (uint16_t)((v) & 0xffff), (uint16_t)(((v) >> 16) & 0xffff)

alignas(4) uint16_t busytemplate[] = {
    // Header (offset 0): WS_POPUP | WS_VISIBLE | WS_BORDER | WS_THICKFRAME | DS_SETFONT |
    // DS_3DLOOK, no extended style, 3 items, at 0,0, 222 x 47, no menu, standard class,
    // empty title, 8 point "MS Sans Serif".
    DW(0x90840044u), DW(0u), 3, 0, 0, 222, 47, 0, 0, 0,
    8, 'M', 'S', ' ', 'S', 'a', 'n', 's', ' ', 'S', 'e', 'r', 'i', 'f', 0,
    0,  // pad: 54 -> 56
    // Item 101 (offset 56): the caption line, a centred static.
    DW(0x50000001u), DW(0u), 7, 9, 209, 9, busycaption, 0xffff, 0x0082, 0, 0,
    0,  // pad: 82 -> 84
    // Item 102 (offset 84): the progress bar, its class given by name.
    DW(0x50800000u), DW(0u), 8, 25, 178, 10, busybar,
    'm', 's', 'c', 't', 'l', 's', '_', 'p', 'r', 'o', 'g', 'r', 'e', 's', 's', '3', '2', 0,
    0, 0,
    0,  // pad: 142 -> 144
    // Item 103 (offset 144): the percentage, a left-aligned static.
    DW(0x50000000u), DW(0u), 194, 26, 20, 8, busypercent, 0xffff, 0x0082, 0, 0,
};

const int busytemplatesize = (int)sizeof busytemplate;
