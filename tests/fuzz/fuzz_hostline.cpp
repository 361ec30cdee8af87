// The patrol's host line with hostile names (any length, printf directives, control
// characters) and record fields as a hand-edited profile can leave them, the record
// update and the weekly counts.
#include "fuzzstubs.h"
#include "monitor/hostline.h"
#include <string>

static bool endswith(const char* s, const char* tail) {
    size_t n = strlen(s), m = strlen(tail);
    return n >= m && !strcmp(s + n - m, tail);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    HostRecord r = takerecord(in);
    unsigned char answer[6];
    in.take(answer, 6);
    uint8_t flags = in.get<uint8_t>();
    long long now = in.get<long long>();
    std::string name((const char*)in.p, in.left);
    bool answered = flags & 1;

    HostRecord before = r;
    ProbeOutcome o = updaterecord(&r, answered, answer, now);
    FUZZCHECK(o.answered == answered);
    if (!answered) FUZZCHECK(r.replies == before.replies && !o.macchanged);
    if (o.macchanged) {
        FUZZCHECK(r.replies == 1 && r.misses == 0 && r.firstseen == now);
        memcpy(r.mac, answer, 6);
    }

    char* line = (char*)malloc(hostlinesize);
    formathostline(line, r, r.mac, answered, answered ? name.c_str() : "NA", now);
    size_t len = strlen(line);
    FUZZCHECK(len < (size_t)hostlinesize);
    char head[64];
    snprintf(head, sizeof head, "%d.%d.%d.%d (%02x:%02x:%02x:%02x:%02x:%02x) [", r.addr.o[0],
             r.addr.o[1], r.addr.o[2], r.addr.o[3], r.mac[0], r.mac[1], r.mac[2], r.mac[3],
             r.mac[4], r.mac[5]);
    FUZZCHECK(!strncmp(line, head, strlen(head)));
    // The pieces after the name always survive; the name is cut, never expanded.
    if (answered)
        FUZZCHECK(endswith(line, ", last succeeded"));
    else if (r.lastreply != 0)
        FUZZCHECK(endswith(line, " ago"));
    else
        FUZZCHECK(endswith(line, ", last failed"));
    const char* shown = line + strlen(head);
    if (answered && name.size() < 120)
        FUZZCHECK(!strncmp(shown, name.c_str(), strlen(name.c_str())) &&
                  shown[strlen(name.c_str())] == ']');
    else if (answered)
        FUZZCHECK(!strncmp(shown, name.c_str(), strcspn(shown, "]")) || strchr(name.c_str(), ']'));
    free(line);

    // The weekly MAC set: each MAC once, the counters in step with the set.
    PatrolCounts c = {};
    fuzzallocleft = (flags & 2) ? (flags >> 4) : -1;
    int added = 0;
    for (size_t i = 0; i + 6 <= name.size() && i < 120; i += 6) {
        const unsigned char* mac = (const unsigned char*)name.data() + i;
        int had = c.totalweek;
        bool ok = countrecord(&c, (mac[0] & 1) != 0, mac, r.lastreply, now, listappendafter);
        if (!ok) break;
        added += c.totalweek - had;
    }
    int inset = 0;
    for (MacElem* e = c.macs; e; e = e->next) {
        inset++;
        for (MacElem* f = e->next; f; f = f->next) FUZZCHECK(memcmp(e->mac, f->mac, 6));
    }
    FUZZCHECK(inset == c.totalweek && c.subnetweek == c.totalweek && added == inset);
    FUZZCHECK(c.totalreplies == c.subnetreplies);
    listdiscard((void**)&c.macs);
    fuzzallocleft = -1;
    FUZZCHECK(replyending(1)[0] == 'y' && !strcmp(replyending(before.replies == 1 ? 2 : before.replies), "ies"));
    return 0;
}
