// Report lines and report orders: window-free so that they can be tested and fuzzed
// on any platform.
#pragma once
#include <stddef.h>
#include "monitor/hostlist.h"

const int replysort = 1;  // report kinds, as the menu passes them
const int timesort = 2;

// A duration split into days, hours within the day and minutes within the hour. The
// divisions truncate toward zero, so every part keeps the sign of the duration.
struct Span {
    long long days, hours, minutes;
};
Span splitspan(long long seconds);

// "a.b.c.d (mm:mm:mm:mm:mm:mm) " into buf; returns the characters written (cut to size).
int formataddrmac(char* buf, size_t size, const Addr4& addr, const unsigned char mac[6]);

// One report line for a record (a consistent copy). `clock` yields now, read once for
// the time registered and again for the last reply.
void formatreportline(char* buf, size_t size, const HostRecord& r, int kind,
                      long long (*clock)());

// qsort comparators over an array of HostRecord pointers. Both are total orders on
// records of one subnet holding each address once.
int byreplies(const void* a, const void* b);
int bytime(const void* a, const void* b);
