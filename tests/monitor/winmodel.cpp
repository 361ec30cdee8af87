#include "winmodel.h"
#include <stdio.h>
#include <string.h>

namespace winmodel {

Model* model = nullptr;

static unsigned key(const Addr4& a) {
    unsigned k;
    memcpy(&k, a.o, 4);
    return k;
}

void addlive(const Addr4& a, unsigned char mac) { model->live[key(a)] = mac; }

// One more call in flight, and the peak raised to it.
static void enter(std::atomic<int>& inflight, std::atomic<int>& peak) {
    int now = ++inflight;
    for (int p = peak; now > p && !peak.compare_exchange_weak(p, now);) {
    }
}

unsigned long call(const Addr4& a, unsigned char mac[6]) {
    Model& md = *model;
    md.calls++;
    enter(md.inflight, md.peak);
    auto it = md.live.find(key(a));
    bool cached = false;
    {
        std::lock_guard<std::mutex> g(md.m);
        auto c = md.cache.find(key(a));
        cached = it != md.live.end() && c != md.cache.end() && GetTickCount() - c->second < 30000;
    }
    unsigned long rc = ERROR_BAD_NET_NAME;
    if (it != md.live.end()) {
        if (!cached) Sleep(1 + a.o[3] % 5);  // 1-5 ms on the wire
        unsigned char answer[6] = {0x02, 0x77, a.o[2], a.o[3], 0, it->second};
        memcpy(mac, answer, 6);
        std::lock_guard<std::mutex> g(md.m);
        md.cache[key(a)] = GetTickCount();
        rc = NO_ERROR;
    } else {
        Sleep(3 * md.retransmitms);  // three solicitations, no answer
    }
    md.inflight--;
    return rc;
}

bool probe(const Addr4& a, unsigned char mac[6]) { return call(a, mac) == NO_ERROR; }

void addname(const Addr4& a, const std::string& name) { model->names[key(a)] = name; }

bool lookup(const Addr4& a, char* name, size_t size) {
    Model& md = *model;
    md.lookups++;
    enter(md.lookupsinflight, md.lookuppeak);
    auto it = md.names.find(key(a));
    bool found = it != md.names.end();
    Sleep(found ? (255 - a.o[3]) % (md.namedms + 1) : md.namelessms);
    if (found) snprintf(name, size, "%s", it->second.c_str());
    md.lookupsinflight--;
    return found;
}

}  // namespace winmodel
