// The busy indicator's in-memory dialog template (DLGTEMPLATE and three DLGITEMTEMPLATE
// items, each item on a 4-byte boundary), sized from what is written into it.
// Window-free.
#pragma once
#include <stdint.h>

enum { busycaption = 101, busybar = 102, busypercent = 103 };

extern const int busytemplatewords;  // the words busytemplate holds
extern uint16_t busytemplate[];      // 4-byte aligned; the platform reads it in place
extern const int busytemplatesize;   // bytes written, 0 when the template did not fit
