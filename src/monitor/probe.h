// The probe layer: asks whether an address answers ARP, and with which MAC.
//
// A patrol opens a run, submits addresses in the order it will take their answers, and
// takes each answer in that order. Today each answer is worked out when it is taken;
// the interface lets answers be worked out ahead of the taking.
#pragma once
#include "app/state.h"

void probebegin();
// Queues an address; its answer is taken by a later probetake, in submission order.
void probesubmit(const Addr4& addr);
// The answer for the oldest submitted address (which must be addr): true with its MAC
// when it answered. Gives false at once when nothing is queued for addr.
bool probetake(const Addr4& addr, unsigned char mac[6]);
// Ends the run; answers not taken are dropped.
void probeend();

// Test seam: when set, takes the place of the system probe for every address taken.
typedef bool (*probefn)(const Addr4& addr, unsigned char mac[6]);
extern probefn probehook;

// One probe of the system: SendARP, or the neighbour table where SendARP is not
// supported (as under Wine).
bool systemprobe(const Addr4& addr, unsigned char mac[6]);
