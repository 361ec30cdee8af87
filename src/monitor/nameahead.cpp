// Reverse names looked up ahead of the patrol loop, on lookup threads of their own.
#include "monitor/nameahead.h"
#include "monitor/namecache.h"
#include "monitor/probeahead.h"
#include <windows.h>
#include <string.h>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

namespace {

// One lookup of one address, shared by the patrols that asked for it while it ran.
struct Lookup {
    Addr4 addr;
    int wanted = 0;  // patrol slots waiting for it; a lookup not begun and not wanted is dropped
    bool done = false, found = false;
    std::string name;
};
typedef std::shared_ptr<Lookup> LookupRef;

// The lookups of every patrol. Never destroyed: a lookup thread may still come back from
// the resolver while the program ends, after static destruction has begun.
struct Lookups {
    std::mutex m;
    std::condition_variable done;  // a lookup ended
    std::vector<LookupRef> asked;  // not done: running or queued, so that an address is asked once
    std::deque<LookupRef> queued;  // not begun, in the order asked
    int threads = 0;               // lookup threads alive
};
Lookups& lookups = *new Lookups;
std::mutex& lookmutex = lookups.m;
std::condition_variable& lookdone = lookups.done;
std::vector<LookupRef>& asked = lookups.asked;
std::deque<LookupRef>& queued = lookups.queued;
int& threads = lookups.threads;

void unask(const LookupRef& l) {  // caller holds lookmutex
    for (size_t i = 0; i < asked.size(); i++)
        if (asked[i] == l) {
            asked.erase(asked.begin() + i);
            return;
        }
}

void conclude(const LookupRef& l, bool found, const char* name) {  // caller holds lookmutex
    l->done = true;
    l->found = found;
    if (found) l->name = name;
    unask(l);
    lookdone.notify_all();
}

// A lookup thread: takes lookups in the order asked until none is left.
void lookupthread() {
    for (;;) {
        LookupRef l;
        {
            std::lock_guard<std::mutex> g(lookmutex);
            while (!queued.empty() && !queued.front()->wanted) {
                conclude(queued.front(), false, nullptr);
                queued.pop_front();
            }
            if (queued.empty()) {
                threads--;
                return;
            }
            l = queued.front();
            queued.pop_front();
        }
        char name[namemax] = "";
        bool found = false;
        try {
            found = reverselookup(l->addr, name, sizeof name);
        } catch (...) {
            found = false;
        }
        name[sizeof name - 1] = 0;
        std::lock_guard<std::mutex> g(lookmutex);
        conclude(l, found, name);
    }
}

// The lookup of addr, joined when one runs or waits already, else queued, with a new
// thread while fewer than namethreads live. Where no thread can be had and none lives,
// what waits is concluded as not found: the names are tried again at the next patrol.
LookupRef ask(const Addr4& addr) {
    LookupRef l;
    bool spawn = false;
    {
        std::lock_guard<std::mutex> g(lookmutex);
        for (const LookupRef& a : asked)
            if (addrequal(a->addr, addr)) l = a;
        if (l) {
            l->wanted++;
            return l;
        }
        l = std::make_shared<Lookup>();
        l->addr = addr;
        l->wanted = 1;
        asked.push_back(l);
        queued.push_back(l);
        if (threads < namethreads) {
            threads++;
            spawn = true;
        }
    }
    if (spawn) {
        try {
            spawnthread(lookupthread, namestack);
        } catch (...) {
            std::lock_guard<std::mutex> g(lookmutex);
            if (--threads == 0) {
                for (const LookupRef& q : queued) conclude(q, false, nullptr);
                queued.clear();
            }
        }
    }
    return l;
}

void release(LookupRef& l) {
    if (!l) return;
    std::lock_guard<std::mutex> g(lookmutex);
    l->wanted--;
    l.reset();
}

}  // namespace

struct NameSlot {
    Addr4 addr;
    unsigned char known[6];
    LookupRef lookup;
    DWORD asked;  // when this patrol asked for it
    bool taken;   // its name was taken: an answer told late asks nothing
};

struct NameRun {
    std::mutex m;
    std::deque<NameSlot> slots;
    bool ended = false;
};

NameRunRef namebegin() { return std::make_shared<NameRun>(); }

void nameexpect(NameRun& run, const Addr4& addr, const unsigned char known[6]) {
    NameSlot s = {};
    s.addr = addr;
    memcpy(s.known, known, 6);
    std::lock_guard<std::mutex> g(run.m);
    run.slots.push_back(s);
}

void nameanswered(NameRun& run, size_t index, const unsigned char mac[6]) {
    // On a probe thread: whatever fails here only leaves the name to be asked when taken.
    try {
        Addr4 addr;
        {
            std::lock_guard<std::mutex> g(run.m);
            if (run.ended || index >= run.slots.size() || run.slots[index].lookup ||
                run.slots[index].taken)
                return;
            addr = run.slots[index].addr;
            std::string cached;
            if (!memcmp(run.slots[index].known, mac, 6) && cachedname(addr, &cached)) return;
        }
        LookupRef l = ask(addr);
        std::lock_guard<std::mutex> g(run.m);
        if (!run.ended && !run.slots[index].lookup && !run.slots[index].taken) {
            run.slots[index].lookup = l;
            run.slots[index].asked = GetTickCount();
            return;
        }
        release(l);
    } catch (...) {
    }
}

NameTake hostname(NameRun& run, size_t index, bool macchanged, std::string* name,
                  stopfn stopped) {
    LookupRef l;
    Addr4 addr;
    DWORD since;
    {
        std::lock_guard<std::mutex> g(run.m);
        NameSlot& s = run.slots.at(index);
        s.taken = true;
        addr = s.addr;
        l = s.lookup;
        since = s.asked;
    }
    if (macchanged) forgetname(addr);
    if (cachedname(addr, name)) {
        std::lock_guard<std::mutex> g(run.m);
        release(run.slots[index].lookup);
        return namefound;
    }
    if (!l) {
        l = ask(addr);
        since = GetTickCount();
        std::lock_guard<std::mutex> g(run.m);
        run.slots[index].lookup = l;
        run.slots[index].asked = since;
    }
    bool found = false;
    {
        std::unique_lock<std::mutex> u(lookmutex);
        while (!l->done) {
            if (stopped && stopped()) return namestopped;
            if (GetTickCount() - since >= (DWORD)namewaitms) break;
            lookdone.wait_for(u, std::chrono::milliseconds(50));
        }
        found = l->done && l->found;
        if (found) *name = l->name;
    }
    {
        std::lock_guard<std::mutex> g(run.m);
        release(run.slots[index].lookup);
    }
    if (!found) {
        *name = dottedname(addr);
        return namenone;
    }
    cachename(addr, name->c_str());
    return namefound;
}

void nameend(NameRun& run) {
    std::lock_guard<std::mutex> g(run.m);
    run.ended = true;
    for (NameSlot& s : run.slots) release(s.lookup);
}

int namethreadsalive() {
    std::lock_guard<std::mutex> g(lookmutex);
    return threads;
}
