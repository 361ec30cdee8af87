// The probe where SendARP is not supported: a nudge, then the system neighbour table.
#pragma once
#include "common/state.h"

// The kernel's neighbour timers of the interface that reaches an address, in ms.
struct NeighTimers {
    int retrans;       // between two solicitations
    int delayfirst;    // before a stale entry is re-probed
    int ucast;         // unicast re-probes of a stale entry
    int mcast;         // broadcasts for an unresolved entry
    int app;           // solicitations handed to a user daemon (usually 0)
    int mcastreprobe;  // broadcasts after the unicast re-probes (usually 0)
};

// How long each phase of one probe may watch the table, in ms.
struct ProbeLimits {
    int reprobe;  // a complete entry: until the kernel has re-probed it
    int resolve;  // an unresolved entry: until the broadcasts have had their answer
};
const int probemargin = 300;  // timer slack, the answer's way back and one table poll
const int probepoll = 50;     // between two looks at the table
ProbeLimits probelimits(const NeighTimers& t);

// False, at once and with nothing sent, when addr is on no directly attached subnet;
// else the interface index and its timers.
bool neighbourroute(const Addr4& addr, unsigned* ifindex, NeighTimers* t);
bool neighbourprobe(const Addr4& addr, unsigned char mac[6]);

// Pieces shared with the probes run ahead of the patrol (probeahead.cpp).
struct NeighEntry {
    Addr4 addr;
    unsigned ifindex;
    unsigned char mac[6];
};
// The complete entries of the neighbour table, appended to out (at most max); false when
// the table cannot be read.
bool neighbourcomplete(NeighEntry* out, int max, int* count);
// Sends nudges; a fresh socket every `nudgespersocket` nudges, so that datagrams waiting
// for resolution never block a send.
const int nudgespersocket = 64;
struct Nudger {
    unsigned long long sock;  // the open socket, 0 for none
    int sent;                 // nudges sent through it
};
void nudgewith(Nudger* n, const Addr4& addr);
void nudgerclose(Nudger* n);
