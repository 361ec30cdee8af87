// One probe of the system for one address, one at a time.
#pragma once
#include "common/state.h"

// SendARP for one address: its result code, and the MAC when that is 0 (NO_ERROR).
// A success without six bytes of address counts as no answer.
unsigned long sendarp(const Addr4& addr, unsigned char mac[6]);

// One probe of the system: SendARP, or the neighbour table where SendARP is not
// supported (as under Wine).
bool systemprobe(const Addr4& addr, unsigned char mac[6]);
