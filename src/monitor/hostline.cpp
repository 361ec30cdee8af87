// The host line, the summary endings and the weekly MAC set.
#include "monitor/hostline.h"
#include "common/clock.h"
#include <inttypes.h>
#include <stdio.h>
#include <string.h>

// Wrapping addition: record fields come from the profile and may hold any value.
static int addwrap(int a, int b) { return (int)((unsigned)a + (unsigned)b); }

ProbeOutcome updaterecord(HostRecord* r, bool answered, const unsigned char mac[6],
                          long long now) {
    ProbeOutcome o = {answered, false};
    if (!answered) {
        r->misses = addwrap(r->misses, 1);
        return o;
    }
    r->replies = addwrap(r->replies, 1);
    if (!memcmp(mac, r->mac, 6)) {
        r->lastreply = now;
    } else {
        o.macchanged = true;
        r->replies = 1;
        r->misses = 0;
        r->firstseen = now;
    }
    return o;
}

// A duration in one of two forms: hours and minutes below 2 days (also when negative),
// else whole days.
static void formatsince(char* out, size_t n, long long seconds) {
    if (seconds / 86400 < 2)
        snprintf(out, n, ", last reply %02" PRId64 ":%02" PRId64 " ago", seconds / 3600,
                 (seconds / 60) % 60);
    else
        snprintf(out, n, ", last reply %" PRId64 " days ago", seconds / 86400);
}

char* formathostline(char* out, const HostRecord& r, const unsigned char mac[6],
                     bool answered, const char* name, long long now) {
    // The pieces after the name first, so that the name gets what room is left.
    char tail[hostlinesize];
    int probes = addwrap(r.replies, r.misses);
    int len = snprintf(tail, sizeof tail, "] %d probe%s", probes, probes == 1 ? "" : "s");
    unsigned sum = (unsigned)r.replies + (unsigned)r.misses;
    unsigned percent = ((unsigned)r.replies * 100u) / (sum ? sum : 1u);
    // The age of the current MAC; the two forms differ: a comma follows the hours and
    // minutes, none the days.
    char agepiece[128];
    long long age = since(now, r.firstseen);
    if (age / 86400 < 2)
        snprintf(agepiece, sizeof agepiece, " %02" PRId64 ":%02" PRId64 ", %d%% replies",
                 age / 3600, (age / 60) % 60, (int)percent);
    else
        snprintf(agepiece, sizeof agepiece, " %" PRId64 " days %d%% replies", age / 86400,
                 (int)percent);
    // Each piece is written at most up to the buffer's end: snprintf returns what it
    // would have written, so the offset is kept inside the buffer.
    if (len < 0 || len >= (int)sizeof tail) len = (int)sizeof tail - 1;
    len += snprintf(tail + len, sizeof tail - len, "%s", agepiece);
    if (len < 0 || len >= (int)sizeof tail) len = (int)sizeof tail - 1;
    if (!answered && r.lastreply != 0)
        formatsince(tail + len, sizeof tail - len, since(now, r.lastreply));
    else
        snprintf(tail + len, sizeof tail - len, ", last %s", answered ? "succeeded" : "failed");

    int head = snprintf(out, hostlinesize, "%d.%d.%d.%d (%02x:%02x:%02x:%02x:%02x:%02x) [",
                        r.addr.o[0], r.addr.o[1], r.addr.o[2], r.addr.o[3], mac[0], mac[1],
                        mac[2], mac[3], mac[4], mac[5]);
    int room = hostlinesize - 1 - head - (int)strlen(tail);
    if (room < 0) room = 0;
    snprintf(out + head, hostlinesize - head, "%.*s%s", room, name, tail);
    return out;
}

const char* replyending(int count) { return count == 1 ? "y" : "ies"; }

bool activerecord(bool answered, long long lastreply, long long now) {
    if (answered) return true;
    return lastreply != 0 && since(now, lastreply) < weekseconds;
}

bool countrecord(PatrolCounts* c, bool answered, const unsigned char mac[6],
                 long long lastreply, long long now, appendafterfn append) {
    if (answered) {
        c->totalreplies++;
        c->subnetreplies++;
    }
    if (!activerecord(answered, lastreply, now)) return true;
    for (MacElem* e = c->macs; e; e = e->next)
        if (!memcmp(e->mac, mac, 6)) return true;
    MacElem* e = (MacElem*)append((void**)&c->macs, c->lastmac, sizeof(MacElem));
    if (!e) return false;
    memcpy(e->mac, mac, 6);
    c->lastmac = e;
    c->totalweek++;
    c->subnetweek++;
    return true;
}

bool lastinsubnet(const HostRecord& r) {
    const HostRecord* n = r.next;
    return !n || memcmp(n->addr.o, r.addr.o, 3) != 0;
}
