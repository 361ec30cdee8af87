#include "reports/summaryline.h"
#include "reports/reportfmt.h"
#include "common/clock.h"
#include <stdio.h>

unsigned replypercent(int replies, int misses) {
    unsigned total = (unsigned)replies + (unsigned)misses;
    unsigned divisor = total ? total : 1;
    return (unsigned)((unsigned long long)(unsigned)replies * 100u / divisor);
}

void formatsummaryline(char* buf, size_t size, const HostRecord& r, long long now) {
    int total = (int)((unsigned)r.replies + (unsigned)r.misses);
    Span s = splitspan(since(now, r.firstseen));
    int days = (int)s.days;
    snprintf(buf, size,
             "%d.%d.%d.%d (%02x:%02x:%02x:%02x:%02x:%02x) %d packet%s %d day%s %02d:%02d, "
             "%d%% replies\n",
             r.addr.o[0], r.addr.o[1], r.addr.o[2], r.addr.o[3], r.mac[0], r.mac[1], r.mac[2],
             r.mac[3], r.mac[4], r.mac[5], total, total == 1 ? "" : "s", days,
             days == 1 ? "" : "s", (int)s.hours, (int)s.minutes, (int)replypercent(r.replies, r.misses));
}
