// The lines of the export summary; window-free.
#pragma once
#include <stddef.h>
#include "monitor/hostlist.h"

// Replies as a whole percentage of all probes (0 when there were none). Unsigned, like
// the counts it is made of, and wide enough that large counts do not wrap.
unsigned replypercent(int replies, int misses);

// One summary line for a record (a consistent copy), ending in "\n".
void formatsummaryline(char* buf, size_t size, const HostRecord& r, long long now);
