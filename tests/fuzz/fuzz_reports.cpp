// Report, export summary, ARP dump and lookup lines with any record fields, clock and
// company text, each into a buffer of exactly the size it is given; the report orders
// as total orders; the path rules of the file choice.
#include "fuzzstubs.h"
#include "reports/arpline.h"
#include "reports/summaryline.h"
#include "reports/ouitable.h"
#include "reports/pathrules.h"
#include "reports/reportfmt.h"
#include <stdlib.h>
#include <string>

static long long clockvalue;
static long long fuzzclock() { return clockvalue; }

static int sign(int v) { return v < 0 ? -1 : v > 0; }

static void checkorder(int (*cmp)(const void*, const void*), HostRecord** v, int n) {
    for (int i = 0; i < n; i++) {
        FUZZCHECK(cmp(&v[i], &v[i]) == 0);
        for (int j = 0; j < n; j++) {
            int ij = sign(cmp(&v[i], &v[j]));
            FUZZCHECK(ij == -sign(cmp(&v[j], &v[i])));
            if (i != j) FUZZCHECK(ij != 0);  // distinct last octets: never equal
            for (int k = 0; k < n; k++)
                if (ij < 0 && sign(cmp(&v[j], &v[k])) < 0) FUZZCHECK(sign(cmp(&v[i], &v[k])) < 0);
        }
    }
    qsort(v, n, sizeof *v, cmp);
    for (int i = 0; i + 1 < n; i++) FUZZCHECK(cmp(&v[i], &v[i + 1]) < 0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    HostRecord r = takerecord(in);
    clockvalue = in.get<long long>();
    size_t room = 1 + in.get<uint16_t>() % 1024;
    int kind = in.get<uint8_t>() % 3 + 1;

    // Each buffer is exactly `room` bytes, so any write past it is caught.
    char* buf = (char*)malloc(room);
    formatreportline(buf, room, r, kind, fuzzclock);
    FUZZCHECK(strlen(buf) < room);
    if (room == 1024) {
        char head[64];
        snprintf(head, sizeof head, "%d.%d.%d.%d (%02x:%02x:%02x:%02x:%02x:%02x) ", r.addr.o[0],
                 r.addr.o[1], r.addr.o[2], r.addr.o[3], r.mac[0], r.mac[1], r.mac[2], r.mac[3],
                 r.mac[4], r.mac[5]);
        FUZZCHECK(!strncmp(buf, head, strlen(head)));
        FUZZCHECK((r.lastreply != 0) == (strstr(buf, ", last reply ") != nullptr));
    }
    formatsummaryline(buf, room, r, clockvalue);
    FUZZCHECK(strlen(buf) < room);
    if (room == 1024) FUZZCHECK(buf[strlen(buf) - 1] == '\n');
    formatarpline(buf, room, r.addr.o, r.mac);
    FUZZCHECK(strlen(buf) < room);
    unsigned pc = replypercent(r.replies, r.misses);
    if (r.replies >= 0 && r.misses >= 0) FUZZCHECK(pc <= 100);

    Span s = splitspan(clockvalue);
    FUZZCHECK(s.hours > -24 && s.hours < 24 && s.minutes > -60 && s.minutes < 60);
    FUZZCHECK(s.days * 24 + s.hours == clockvalue / 3600);

    std::string rest((const char*)in.p, in.left);
    formatlookupline(buf, room, r.addr, r.mac, rest.c_str());
    FUZZCHECK(strlen(buf) < room);
    free(buf);

    // Up to 16 records of one subnet with distinct last octets.
    HostRecord recs[16];
    HostRecord* v[16];
    int n = 0;
    FuzzInput more = {(const uint8_t*)rest.data(), rest.size()};
    while (n < 16 && more.left >= 30) {
        recs[n] = takerecord(more);
        recs[n].addr = r.addr;
        bool dup = false;
        for (int i = 0; i < n; i++) dup |= recs[i].addr.o[3] == (unsigned char)(recs[n].mac[0]);
        if (dup) continue;
        recs[n].addr.o[3] = recs[n].mac[0];
        // Few distinct values, so that ties on replies and times are common.
        recs[n].replies &= 3;
        recs[n].firstseen &= 3;
        v[n] = &recs[n];
        n++;
    }
    checkorder(byreplies, v, n);
    checkorder(bytime, v, n);

    // Paths of any length: the split fills two MAX_PATH buffers, never more.
    char* name = (char*)malloc(pathbuf);
    char* dir = (char*)malloc(pathbuf);
    splitpath(rest.c_str(), name, dir);
    FUZZCHECK(strlen(name) < (size_t)pathbuf && strlen(dir) < (size_t)pathbuf);
    FUZZCHECK(!strchr(name, '\\') && !strchr(name, '/'));
    char* path = (char*)malloc(pathbuf);
    size_t plen = rest.size() % pathbuf;
    memcpy(path, rest.c_str(), plen);
    path[plen] = 0;
    size_t before = strlen(path);
    bool appended = appendextension(path, "txt");
    FUZZCHECK(strlen(path) < (size_t)pathbuf);
    FUZZCHECK(appended == (before + 4 < (size_t)pathbuf));
    if (appended) FUZZCHECK(!lacksextension(path));
    free(path);
    free(name);
    free(dir);
    return 0;
}
