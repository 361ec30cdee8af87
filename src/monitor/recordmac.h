// Guards the six MAC bytes of HostRecords: the patrol thread writes them while the
// window thread may read them (vendor lookup, exports), so both go through here.
#pragma once
#include "monitor/hostlist.h"

void getmac(const HostRecord* r, unsigned char out[6]);
void setmac(HostRecord* r, const unsigned char in[6]);
