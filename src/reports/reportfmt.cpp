#include "reports/reportfmt.h"
#include "common/clock.h"
#include <inttypes.h>
#include <stdio.h>

Span splitspan(long long seconds) {
    Span s;
    s.days = seconds / 86400;
    s.hours = (seconds / 3600) % 24;
    s.minutes = (seconds / 60) % 60;
    return s;
}

// Characters snprintf left in a buffer of size bytes when it wanted to write n.
static int clip(int n, size_t size) {
    if (n < 0 || size == 0) return 0;
    return (size_t)n >= size ? (int)size - 1 : n;
}

int formataddrmac(char* buf, size_t size, const Addr4& addr, const unsigned char mac[6]) {
    int n = snprintf(buf, size, "%d.%d.%d.%d (%02x:%02x:%02x:%02x:%02x:%02x) ", addr.o[0],
                     addr.o[1], addr.o[2], addr.o[3], mac[0], mac[1], mac[2], mac[3], mac[4],
                     mac[5]);
    return clip(n, size);
}

static int formatspan(char* buf, size_t size, const char* format, long long seconds) {
    Span s = splitspan(seconds);
    int n = snprintf(buf, size, format, s.days, s.days == 1 ? "" : "s", s.hours, s.minutes);
    return clip(n, size);
}

void formatreportline(char* buf, size_t size, const HostRecord& r, int kind,
                      long long (*clock)()) {
    int n = formataddrmac(buf, size, r.addr, r.mac);
    if (kind == replysort)
        n += clip(snprintf(buf + n, size - n, "%d repl%s", r.replies,
                           r.replies == 1 ? "y" : "ies"),
                  size - n);
    else
        n += formatspan(buf + n, size - n, "%" PRId64 " day%s %02" PRId64 ":%02" PRId64,
                        since(clock(), r.firstseen));
    if (r.lastreply != 0)
        formatspan(buf + n, size - n,
                   ", last reply %" PRId64 " day%s %02" PRId64 ":%02" PRId64 " ago",
                   since(clock(), r.lastreply));
}

static int cmp64(long long a, long long b) { return a < b ? -1 : a > b ? 1 : 0; }

// The higher last octet first.
static int byoctet(const HostRecord* a, const HostRecord* b) {
    return (int)b->addr.o[3] - (int)a->addr.o[3];
}

int byreplies(const void* pa, const void* pb) {
    const HostRecord* a = *(const HostRecord* const*)pa;
    const HostRecord* b = *(const HostRecord* const*)pb;
    if (a->replies != b->replies) return a->replies > b->replies ? -1 : 1;
    int c = cmp64(a->firstseen, b->firstseen);
    return c ? c : byoctet(a, b);
}

int bytime(const void* pa, const void* pb) {
    const HostRecord* a = *(const HostRecord* const*)pa;
    const HostRecord* b = *(const HostRecord* const*)pb;
    int c = cmp64(a->firstseen, b->firstseen);
    return c ? c : byoctet(a, b);
}
