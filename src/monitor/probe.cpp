// The probe run: addresses queued in patrol order, answered when taken.
#include "monitor/probe.h"
#include <deque>
#include <mutex>
#include <string.h>

probefn probehook = nullptr;

static std::mutex queuemutex;
static std::deque<Addr4> queue;

void probebegin() {
    std::lock_guard<std::mutex> g(queuemutex);
    queue.clear();
}

void probesubmit(const Addr4& addr) {
    std::lock_guard<std::mutex> g(queuemutex);
    queue.push_back(addr);
}

bool probetake(const Addr4& addr, unsigned char mac[6]) {
    {
        std::lock_guard<std::mutex> g(queuemutex);
        if (queue.empty() || !addrequal(queue.front(), addr)) return false;
        queue.pop_front();
    }
    memset(mac, 0, 6);
    return probehook ? probehook(addr, mac) : systemprobe(addr, mac);
}

void probeend() {
    std::lock_guard<std::mutex> g(queuemutex);
    queue.clear();
}
