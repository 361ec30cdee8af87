#include "monitor/recordmac.h"
#include <mutex>
#include <string.h>

static std::mutex macmutex;

void getmac(const HostRecord* r, unsigned char out[6]) {
    std::lock_guard<std::mutex> g(macmutex);
    memcpy(out, r->mac, 6);
}

void setmac(HostRecord* r, const unsigned char in[6]) {
    std::lock_guard<std::mutex> g(macmutex);
    memcpy(r->mac, in, 6);
}
