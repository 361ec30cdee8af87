// The host report over one range; window-free.
#pragma once
#include <stddef.h>
#include "monitor/hostlist.h"

// Prints the report of the range low..high (one class C subnet), sorted by kind.
void hostreport(const Addr4& low, const Addr4& high, int kind);

// Walks the range's addresses in ascending order and, for each, takes the first record
// of the list from head with that address. Returns how many were found; when out is
// not null it receives consistent copies of the first `room` of them (MAC through the
// patrol's guard).
int selectrange(const HostRecord* head, const Addr4& low, const Addr4& high, HostRecord* out,
                int room);

// Test seam for the selection's allocations (calloc by default).
extern void* (*reportalloc)(size_t count, size_t size);
