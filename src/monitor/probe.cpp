// The probe run: addresses queued in patrol order, answered ahead or when taken.
#include "monitor/probe.h"
#include "monitor/probeahead.h"
#include "monitor/sendarp.h"
#include <windows.h>
#include <deque>
#include <mutex>
#include <string.h>

probefn probehook = nullptr;
bool probeahead = true;

static std::mutex runmutex;
static std::deque<Addr4> queue;  // submitted, not yet taken
static AheadRun* ahead = nullptr;
static size_t taken = 0;

static bool onebyone() {
    char v[8] = "";
    GetEnvironmentVariableA("HW_PROBE_ONEBYONE", v, sizeof v);
    return !probeahead || probehook || !strcmp(v, "1");
}

void probebegin(answerfn answered) {
    probeend();
    std::lock_guard<std::mutex> g(runmutex);
    if (!onebyone()) ahead = aheadstart(std::move(answered));
}

void probesubmit(const Addr4& addr) {
    std::lock_guard<std::mutex> g(runmutex);
    queue.push_back(addr);
    if (ahead) aheadsubmit(ahead, addr);
}

ProbeResult probetake(const Addr4& addr, unsigned char mac[6], stopfn stopped) {
    memset(mac, 0, 6);
    AheadRun* run;
    size_t index;
    {
        std::lock_guard<std::mutex> g(runmutex);
        if (queue.empty() || !addrequal(queue.front(), addr)) return probeunanswered;
        queue.pop_front();
        run = ahead;
        index = taken++;
    }
    if (run) return aheadtake(run, index, mac, stopped);
    bool answered = probehook ? probehook(addr, mac) : systemprobe(addr, mac);
    return answered ? probeanswered : probeunanswered;
}

void probeend() {
    std::lock_guard<std::mutex> g(runmutex);
    queue.clear();
    taken = 0;
    if (ahead) aheadstop(ahead);
    ahead = nullptr;
}
