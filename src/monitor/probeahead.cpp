// Probes run ahead of the patrol loop. The first address decides the way: SendARP,
// called by a bounded set of worker threads, or, where SendARP is not supported (Wine),
// the neighbour table: nudges for every address in flight, paced, and one look at the
// table each round for all of them (a look over a table of 528 entries took 130 ms
// under Wine). Each address goes through the same steps as a probe on its own
// (probeneigh.cpp), with the same limits.
#include "monitor/probeahead.h"
#include "monitor/neighbour.h"
#include "monitor/sendarp.h"
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <process.h>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string.h>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

arpfn aheadarp = sendarp;
spawnfn aheadspawn = spawnthread;
int aheadworkers = 128;
std::atomic<int> aheadlive(0);
std::atomic<long> aheadwakeups(0);

static unsigned __stdcall threadentry(void* p) {
    std::unique_ptr<std::function<void()>> body((std::function<void()>*)p);
    (*body)();
    return 0;
}

void spawnthread(std::function<void()> body) { spawnthread(std::move(body), aheadstack); }

void spawnthread(std::function<void()> body, unsigned stack) {
    std::unique_ptr<std::function<void()>> b(new std::function<void()>(std::move(body)));
    // A small stack reserved: a probe needs little, and a pool of 128 with the exe's
    // default 2 MiB each would reserve 256 MiB of a 32-bit process's 2 GiB.
    uintptr_t h = _beginthreadex(nullptr, stack, threadentry, b.get(),
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!h)
        throw std::system_error(std::error_code((int)GetLastError(), std::system_category()),
                                "cannot start a probe thread");
    b.release();
    CloseHandle((HANDLE)h);
}

// One more SendARP worker, if the workers alive in every run stay within aheadworkers:
// those of a stopped run may still be blocked in SendARP for seconds.
static bool reserveworker() {
    int n = aheadlive.load();
    while (n < aheadworkers)
        if (aheadlive.compare_exchange_weak(n, n + 1)) return true;
    return false;
}

namespace {

enum Phase { queued, reprobing, resolving, finished };

struct Slot {
    Addr4 addr;
    Phase phase;
    bool answered;
    unsigned char mac[6];
    unsigned ifindex;
    ProbeLimits limits;
    DWORD deadline;
};

struct State {
    std::mutex m;
    std::condition_variable work;  // the run's threads: a slot submitted, or the end
    std::condition_variable done;  // the taker: a probe finished, a failure, or the end
    std::deque<Slot> slots;  // in submission order; references stay valid as it grows
    size_t next = 0;         // the first slot not started
    size_t inflight = 0;
    int workers = 1;         // SendARP path: threads calling it (the engine's own first)
    bool quit = false;
    std::string failure;     // what failed in a thread of the run; the run ends with it
    int started = 0;         // probes started, for the pacing
    DWORD t0 = 0;
    answerfn answered;       // told of each answer, outside m
};
typedef std::shared_ptr<State> StateRef;

// How many more probes the pace allows now (caller holds m).
int allowed(State& s) {
    long long due = (long long)(GetTickCount() - s.t0) * aheadrate / 1000 + aheadburst;
    return (int)(due - s.started);
}

// Milliseconds until the pace allows the next probe (caller holds m).
int untilallowed(State& s) {
    long long at = (long long)(s.started - aheadburst + 1) * 1000 / aheadrate;
    long long now = (long long)(GetTickCount() - s.t0);
    return at > now ? (int)(at - now) : 1;
}

void finish(Slot& slot, bool answered, const unsigned char* mac) {
    slot.phase = finished;
    slot.answered = answered;
    if (answered) memcpy(slot.mac, mac, 6);
}

// An answer found, told outside the run's lock (the listener may start a thread).
struct Told {
    size_t index;
    unsigned char mac[6];
};
void tell(State& s, const std::vector<Told>& told) {
    if (s.answered)
        for (const Told& t : told) s.answered(t.index, t.mac);
}

void guarded(StateRef s, void (*body)(StateRef));

// SendARP path: each worker takes the next slot as the pace allows. While slots wait
// for a thread, a worker that takes one adds another worker, up to aheadworkers alive
// across runs: the pool grows with the pace, and a short list gets a small pool. A
// worker with nothing to do sleeps until a slot comes or the run ends; one held back
// by the pace sleeps until the next probe is due.
void sendarpworker(StateRef s) {
    for (;;) {
        Slot* slot = nullptr;
        size_t index;
        bool grow;
        {
            std::unique_lock<std::mutex> l(s->m);
            for (;;) {
                if (s->quit) return;
                if (s->next < s->slots.size()) {
                    if (allowed(*s) > 0) break;
                    s->work.wait_for(l, std::chrono::milliseconds(untilallowed(*s)));
                } else {
                    s->work.wait(l);
                }
                aheadwakeups++;
            }
            index = s->next++;
            slot = &s->slots[index];
            s->started++;
            // Another sleeping worker of the run takes the next slot, if there is one.
            if (s->next < s->slots.size()) s->work.notify_one();
            grow = s->workers < aheadworkers && s->next < s->slots.size() && reserveworker();
            if (grow) s->workers++;
        }
        if (grow) {
            try {
                aheadspawn([s] {
                    guarded(s, sendarpworker);
                    aheadlive--;
                });
            } catch (...) {  // no thread, or no memory for its body
                aheadlive--;
                std::lock_guard<std::mutex> g(s->m);
                s->workers = aheadworkers;  // no thread to be had: do with those there are
            }
        }
        unsigned char mac[6];
        bool answered = aheadarp(slot->addr, mac) == NO_ERROR;
        {
            std::lock_guard<std::mutex> g(s->m);
            finish(*slot, answered, mac);
            s->done.notify_all();
        }
        if (answered) tell(*s, {{index, {mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]}}});
    }
}

const NeighEntry* findentry(const std::vector<NeighEntry>& table, int n, const Slot& slot) {
    for (int i = 0; i < n; i++)
        if (table[i].ifindex == slot.ifindex && addrequal(table[i].addr, slot.addr))
            return &table[i];
    return nullptr;
}

// Neighbour-table path: one thread nudges and watches every slot in flight.
void neighbourengine(StateRef s) {
    Nudger nudger = {0, 0};
    std::vector<NeighEntry> table(4096);
    std::vector<Told> told;
    size_t first = 0;  // slots before it are finished
    for (;;) {
        told.clear();
        int n = 0;
        DWORD looked = GetTickCount();  // a deadline counts as past only if the look began after it
        neighbourcomplete(table.data(), (int)table.size(), &n);
        std::unique_lock<std::mutex> l(s->m);
        if (s->quit) break;
        if (first == s->slots.size()) aheadwakeups++;  // a look with nothing in flight or to send
        DWORD now = GetTickCount();
        bool changed = false;
        for (size_t i = first; i < s->next; i++) {
            Slot& slot = s->slots[i];
            const NeighEntry* e = slot.phase == finished ? nullptr : findentry(table, n, slot);
            bool late = (int)(looked - slot.deadline) >= 0;
            if (slot.phase == reprobing) {
                if (!e) {  // the old MAC did not answer: a broadcast asks
                    nudgewith(&nudger, slot.addr);
                    slot.phase = resolving;
                    slot.deadline = now + slot.limits.resolve;
                } else if (late) {
                    finish(slot, true, e->mac);
                    told.push_back({i, {}});
                    changed = true;
                }
            } else if (slot.phase == resolving) {
                if (e || late) {
                    finish(slot, e != nullptr, e ? e->mac : nullptr);
                    if (e) told.push_back({i, {}});
                    changed = true;
                }
            }
            if (!told.empty() && told.back().index == i) memcpy(told.back().mac, slot.mac, 6);
            if (slot.phase == finished && i == first) first++;
        }
        s->inflight = s->next - first;
        for (int room = allowed(*s); room > 0 && s->next < s->slots.size() &&
                                     s->inflight < (size_t)aheadinflight;) {
            Slot& slot = s->slots[s->next++];
            NeighTimers t;
            if (!neighbourroute(slot.addr, &slot.ifindex, &t)) {
                finish(slot, false, nullptr);  // off the local subnets: nothing sent
                changed = true;
                continue;
            }
            slot.limits = probelimits(t);
            bool complete = findentry(table, n, slot) != nullptr;
            slot.phase = complete ? reprobing : resolving;
            nudgewith(&nudger, slot.addr);
            // The kernel's timers start with the nudge: the window is counted from it, not
            // from before a route look-up that may have read the interface's settings.
            slot.deadline = GetTickCount() + (complete ? slot.limits.reprobe : slot.limits.resolve);
            s->started++;
            s->inflight++;
            room--;
        }
        while (first < s->next && s->slots[first].phase == finished) first++;
        if (changed) s->done.notify_all();
        l.unlock();
        tell(*s, told);
        l.lock();
        if (first == s->slots.size()) {
            // Nothing in flight and nothing to send: sleep until an address comes or the
            // run ends, without looking at the table.
            while (!s->quit && s->next == s->slots.size()) {
                s->work.wait(l);
                aheadwakeups++;
            }
        } else {
            l.unlock();
            Sleep(aheadpoll);
        }
    }
    nudgerclose(&nudger);
}

// The edge of every thread of a run: what fails there ends the run, told to the taker.
void guarded(StateRef s, void (*body)(StateRef)) {
    std::string failure;
    try {
        body(s);
        return;
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "unknown failure";
    }
    std::lock_guard<std::mutex> g(s->m);
    if (s->failure.empty()) s->failure = "probes: " + failure;
    s->quit = true;
    s->work.notify_all();
    s->done.notify_all();
}

// Decides the way with the first address, then runs it.
void engine(StateRef s) {
    Slot* slot;
    {
        std::unique_lock<std::mutex> l(s->m);
        s->work.wait(l, [&] { return s->quit || !s->slots.empty(); });
        if (s->quit) return;
        slot = &s->slots[0];
    }
    // The engine is the run's first worker, counted with the others from its first
    // SendARP (a stopped run's engine may stay blocked in it), but never held back by
    // them: a run always probes.
    aheadlive++;
    struct Leave {
        bool counted = true;
        ~Leave() {
            if (counted) aheadlive--;
        }
    } leave;
    unsigned char mac[6];
    unsigned long rc = aheadarp(slot->addr, mac);
    if (rc == ERROR_NOT_SUPPORTED) {
        aheadlive--;  // no SendARP worker: the neighbour table is watched instead
        leave.counted = false;
        neighbourengine(s);
        return;
    }
    {
        std::lock_guard<std::mutex> g(s->m);
        s->next = 1;
        s->started = 1;
        finish(*slot, rc == NO_ERROR, mac);
        s->done.notify_all();
    }
    if (rc == NO_ERROR) tell(*s, {{0, {mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]}}});
    sendarpworker(s);
}

}  // namespace

struct AheadRun {
    StateRef state;
};

AheadRun* aheadstart(answerfn answered) {
    std::unique_ptr<AheadRun> run(new AheadRun{std::make_shared<State>()});
    run->state->t0 = GetTickCount();
    run->state->answered = std::move(answered);
    StateRef s = run->state;
    aheadspawn([s] { guarded(s, engine); });
    return run.release();
}

void aheadsubmit(AheadRun* run, const Addr4& addr) {
    std::lock_guard<std::mutex> g(run->state->m);
    Slot slot = {};
    slot.addr = addr;
    slot.phase = queued;
    run->state->slots.push_back(slot);
    run->state->work.notify_one();
}

ProbeResult aheadtake(AheadRun* run, size_t index, unsigned char mac[6], stopfn stopped) {
    State& s = *run->state;
    std::unique_lock<std::mutex> l(s.m);
    for (;;) {
        if (index >= s.slots.size()) return probeunanswered;
        const Slot& slot = s.slots[index];
        if (slot.phase == finished) {
            if (!slot.answered) return probeunanswered;
            memcpy(mac, slot.mac, 6);
            return probeanswered;
        }
        if (!s.failure.empty()) throw std::runtime_error(s.failure);
        if (stopped && stopped()) return probecancelled;
        s.done.wait_for(l, std::chrono::milliseconds(50));
    }
}

void aheadstop(AheadRun* run) {
    {
        std::lock_guard<std::mutex> g(run->state->m);
        run->state->quit = true;
        run->state->work.notify_all();
        run->state->done.notify_all();
    }
    delete run;
}
