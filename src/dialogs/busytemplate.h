// The busy indicator's in-memory dialog template (DLGTEMPLATE and three DLGITEMTEMPLATE
// items, each item on a 4-byte boundary). Window-free.
#pragma once
#include <stdint.h>

enum { busycaption = 101, busybar = 102, busypercent = 103 };

extern uint16_t busytemplate[];   // 4-byte aligned; the platform reads it in place
extern const int busytemplatesize;  // bytes
