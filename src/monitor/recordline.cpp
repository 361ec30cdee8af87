#include "monitor/recordline.h"
#include "settings/parse.h"
#include <inttypes.h>
#include <stdio.h>
#include <string.h>

void formatrecordkey(char* buf, size_t size, const Addr4& a) {
    snprintf(buf, size, "SOFTWARE\\Hostwarden\\%d.%d.%d.%d", a.o[0], a.o[1], a.o[2], a.o[3]);
}

void formatrecordline(char* buf, size_t size, const HostRecord& r) {
    snprintf(buf, size, "%02x %02x %02x %02x %02x %02x %d %d %" PRId64 " %" PRId64, r.mac[0],
             r.mac[1], r.mac[2], r.mac[3], r.mac[4], r.mac[5], r.replies, r.misses,
             (int64_t)r.firstseen, (int64_t)r.lastreply);
}

bool parserecordline(const char* text, HostRecord* r) {
    const char* p = text;
    unsigned char mac[6];
    for (int i = 0; i < 6; i++) {
        unsigned v;
        if (!scanhex(&p, &v)) return false;
        mac[i] = (unsigned char)(v & 0xff);
    }
    const long long imin = -2147483647LL - 1, imax = 2147483647LL;
    const long long lmin = (-9223372036854775807LL - 1), lmax = 9223372036854775807LL;
    long long replies, misses, firstseen, lastreply;
    if (!scandecimal(&p, imin, imax, &replies) || !scandecimal(&p, imin, imax, &misses) ||
        !scandecimal(&p, lmin, lmax, &firstseen) || !scandecimal(&p, lmin, lmax, &lastreply))
        return false;
    memcpy(r->mac, mac, 6);
    r->replies = (int)replies;
    r->misses = (int)misses;
    r->firstseen = firstseen;
    r->lastreply = lastreply;
    return true;
}
