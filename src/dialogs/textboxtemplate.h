// The scrolling text box's in-memory dialog template, window-free: a dialog header and
// four items laid out word by word as the platform's DLGTEMPLATE and DLGITEMTEMPLATE,
// each item on a 4-byte boundary. Every showing changes five of its words in place.
#pragma once
#include <stdint.h>

struct TbTemplate {
    alignas(4) uint16_t words[96];
    int size;  // bytes in use
    // Word offsets of the 16-bit fields a showing changes, and of the face name.
    int dialogcx, okx, staticcx, scrollx, copyx;
    int pointsize, facename;
};

// The template every showing uses; it keeps the sizes the last showing left.
extern TbTemplate tbtemplate;

// The template's values at program start.
TbTemplate tbinitial();
inline int tbget(const TbTemplate& t, int word) { return (int16_t)t.words[word]; }
inline void tbset(TbTemplate* t, int word, int value) { t->words[word] = (uint16_t)value; }
