// The patrol's window-free logic: the host line, the summary lines, and the weekly MAC
// set with its counters.
#pragma once
#include <stddef.h>
#include "monitor/hostlist.h"

const int hostlinesize = 260;  // the host line's buffer, terminator included

// What one probe did to a record, for the host line.
struct ProbeOutcome {
    bool answered;
    bool macchanged;  // answered with a MAC other than the record's
};

// Applies one probe's answer to the record's counters and times; the MAC itself is
// written by the caller (through setmac) when outcome.macchanged.
ProbeOutcome updaterecord(HostRecord* r, bool answered, const unsigned char mac[6],
                          long long now);

// The host line of r after its update: mac is r's current MAC, name the host's name
// ("NA" when unanswered). An over-long name is cut so that the line fits in
// hostlinesize bytes with every other piece intact. Returns out.
char* formathostline(char* out, const HostRecord& r, const unsigned char mac[6],
                     bool answered, const char* name, long long now);

// "%d repl%s ..." with "y" for exactly 1, else "ies".
const char* replyending(int count);

// The MAC addresses counted as active within the last week during one patrol.
struct MacElem {
    MacElem* next;
    unsigned char mac[6];
};
struct PatrolCounts {
    MacElem* macs;      // the set, a list built with the append primitive
    MacElem* lastmac;   // its last element, to append without a walk
    int totalreplies;   // records answered in this patrol
    int subnetreplies;  // since the last subnet summary
    int totalweek;      // additions to the set in this patrol
    int subnetweek;     // since the last subnet summary
};

// The list append used for the set (the list primitive in the program, a stub in tests).
typedef void* (*appendafterfn)(void** head, void* after, size_t size);

const long long weekseconds = 604800;

// True when a record counts as active: answered now, or answered less than a week ago.
bool activerecord(bool answered, long long lastreply, long long now);
// Counts one record; false when the set could not grow.
bool countrecord(PatrolCounts* c, bool answered, const unsigned char mac[6],
                 long long lastreply, long long now, appendafterfn append);
// True when r is the last of its subnet (no next, or the next differs in its first three octets).
bool lastinsubnet(const HostRecord& r);
