// Probes ahead on the SendARP path, with a scripted SendARP: order, bounds, pace, stop.
#include <gtest/gtest.h>
#include <windows.h>
#include <atomic>
#include <mutex>
#include <new>
#include <set>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>
#include "monitor/probeahead.h"
#include "monitor/sendarp.h"

namespace {

// The scripted SendARP: address 10.77.1.N answers with 02:77:00:00:01:N unless silent,
// after delayms[N]; an address in `held` waits until `release` is signalled.
struct Fake {
    std::mutex m;
    int delayms[256] = {};
    std::set<int> silent, held;
    std::vector<DWORD> starts;  // tick of each call, in call order
    int running = 0, maxrunning = 0;
    HANDLE release = nullptr;
};
Fake* fake;

unsigned long fakearp(const Addr4& a, unsigned char mac[6]) {
    int n = a.o[3];
    int delay;
    bool hold, silent;
    {
        std::lock_guard<std::mutex> g(fake->m);
        fake->starts.push_back(GetTickCount());
        fake->maxrunning = std::max(fake->maxrunning, ++fake->running);
        delay = fake->delayms[n];
        hold = fake->held.count(n) != 0;
        silent = fake->silent.count(n) != 0;
    }
    if (delay) Sleep(delay);
    if (hold) WaitForSingleObject(fake->release, 10000);
    unsigned char m[6] = {2, 0x77, 0, 0, 1, (unsigned char)n};
    memcpy(mac, m, 6);
    std::lock_guard<std::mutex> g(fake->m);
    fake->running--;
    return silent ? ERROR_BAD_NET_NAME : NO_ERROR;
}

Addr4 addr(int n) { return {{10, 77, 1, (unsigned char)n}}; }

std::atomic<bool> stopflag(false);
bool stopped() { return stopflag; }

class ProbeAhead : public testing::Test {
protected:
    void SetUp() override {
        fake = new Fake;
        fake->release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        aheadarp = fakearp;
        stopflag = false;
    }
    void TearDown() override {
        // The workers outlive their run: let every call in flight end before the script goes.
        SetEvent(fake->release);
        for (int i = 0; i < 500; i++) {
            {
                std::lock_guard<std::mutex> g(fake->m);
                if (!fake->running) break;
            }
            Sleep(10);
        }
        Sleep(50);
        aheadarp = sendarp;
        aheadspawn = spawnthread;
        CloseHandle(fake->release);
        delete fake;
    }
    AheadRun* start(int count) {
        AheadRun* run = aheadstart();
        for (int i = 1; i <= count; i++) aheadsubmit(run, addr(i));
        return run;
    }
    size_t calls() {
        std::lock_guard<std::mutex> g(fake->m);
        return fake->starts.size();
    }
};

TEST_F(ProbeAhead, AnswersAreTakenInSubmissionOrderWhateverOrderTheyFinishIn) {
    // Later addresses finish first; every third is silent.
    for (int i = 1; i <= 40; i++) {
        fake->delayms[i] = (41 - i) * 3;
        if (i % 3 == 0) fake->silent.insert(i);
    }
    AheadRun* run = start(40);
    for (int i = 1; i <= 40; i++) {
        unsigned char mac[6] = {};
        ProbeResult r = aheadtake(run, i - 1, mac, stopped);
        if (i % 3 == 0) {
            EXPECT_EQ(r, probeunanswered) << i;
        } else {
            ASSERT_EQ(r, probeanswered) << i;
            EXPECT_EQ(mac[5], i);
            EXPECT_EQ(mac[0], 2);
        }
    }
    // Past the end of what was submitted: no answer, and no wait.
    unsigned char mac[6];
    EXPECT_EQ(aheadtake(run, 40, mac, stopped), probeunanswered);
    aheadstop(run);
    EXPECT_EQ(calls(), 40u);  // each address asked once
    EXPECT_GT(fake->maxrunning, 1);  // they did run ahead, side by side
    EXPECT_LE(fake->maxrunning, aheadworkers);
}

TEST_F(ProbeAhead, SendingIsPacedAfterTheFirstBurst) {
    const int count = 200;
    AheadRun* run = start(count);
    unsigned char mac[6];
    for (int i = 0; i < count; i++) ASSERT_EQ(aheadtake(run, i, mac, stopped), probeanswered);
    aheadstop(run);
    ASSERT_EQ(calls(), (size_t)count);
    // The k-th call may start no sooner than the pace allows after the first; a tick of
    // slack for the clock's granularity. A slow machine only makes it later.
    for (int k = aheadburst + 1; k < count; k += 20) {
        long long earliest = (long long)(k - aheadburst) * 1000 / aheadrate - 20;
        EXPECT_GE((long long)(fake->starts[k] - fake->starts[0]), earliest) << k;
    }
}

TEST_F(ProbeAhead, StopWhileAProbeIsOutstandingCancelsAtOnceAndSendsNoMore) {
    int workers = aheadworkers;
    aheadworkers = 8;  // a small pool, so that most calls are still to come at the stop
    for (int i = 1; i <= 100; i++) fake->delayms[i] = 20;
    fake->held.insert(4);
    AheadRun* run = start(100);
    unsigned char mac[6];
    for (int i = 0; i < 3; i++) ASSERT_EQ(aheadtake(run, i, mac, stopped), probeanswered);
    // The fourth answer never comes while the stop is requested from another thread.
    std::thread stopper([] {
        Sleep(100);
        stopflag = true;
    });
    DWORD t0 = GetTickCount();
    EXPECT_EQ(aheadtake(run, 3, mac, stopped), probecancelled);
    EXPECT_LT(GetTickCount() - t0, 1000u);
    stopper.join();
    t0 = GetTickCount();
    aheadstop(run);  // returns without waiting for the held probe
    EXPECT_LT(GetTickCount() - t0, 500u);
    Sleep(60);  // a worker between its last look and its call has made it by now
    size_t atstop = calls();
    Sleep(300);
    EXPECT_EQ(calls(), atstop);
    EXPECT_LT(atstop, 100u);
    // The held probe ends after its run is gone; a new run knows nothing of it.
    SetEvent(fake->release);
    {
        std::lock_guard<std::mutex> g(fake->m);
        fake->silent.insert(4);
    }
    AheadRun* again = aheadstart();
    aheadsubmit(again, addr(4));
    EXPECT_EQ(aheadtake(again, 0, mac, nullptr), probeunanswered);
    aheadstop(again);
    aheadworkers = workers;
}

// A stopped run's workers may stay blocked in SendARP for seconds: the next run counts
// them, so that a few Stop and Patrol in a row do not stack pool upon pool. The run's
// engine counts from its first call: it may be the one blocked.
TEST_F(ProbeAhead, WorkersBlockedFromAStoppedRunCountAgainstTheNextRun) {
    const struct {
        int firstheld, lastheld;  // addresses of the first run that never answer
        int blocked;              // calls left blocked by the first run
        int most;                 // calls at once during the second run, at most
    } rows[] = {
        {2, 40, 8, 9},  // the first answers: the pool grows to 8, all blocked; then the new engine
        {1, 1, 1, 8},   // the engine blocked in its first call: the new run grows to 7 beside it
    };
    int workers = aheadworkers;
    aheadworkers = 8;
    auto running = [] {
        std::lock_guard<std::mutex> g(fake->m);
        return fake->running;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.firstheld);
        {
            std::lock_guard<std::mutex> g(fake->m);
            fake->held.clear();
            for (int i = row.firstheld; i <= row.lastheld; i++) fake->held.insert(i);
        }
        ResetEvent(fake->release);
        for (int i = 41; i <= 80; i++) fake->delayms[i] = 20;
        AheadRun* first = start(40);
        for (int i = 0; i < 300 && running() < row.blocked; i++) Sleep(10);
        Sleep(50);
        ASSERT_EQ(running(), row.blocked);
        aheadstop(first);
        {
            std::lock_guard<std::mutex> g(fake->m);
            fake->maxrunning = 0;
        }
        AheadRun* second = aheadstart();
        for (int i = 41; i <= 80; i++) aheadsubmit(second, addr(i));
        unsigned char mac[6];
        for (int i = 0; i < 40; i++) ASSERT_EQ(aheadtake(second, i, mac, stopped), probeanswered);
        aheadstop(second);
        EXPECT_LE(fake->maxrunning, row.most);
        SetEvent(fake->release);
        for (int i = 0; i < 300 && (running() || aheadlive); i++) Sleep(10);
        ASSERT_EQ(aheadlive, 0);
    }
    aheadworkers = workers;
}

// Once every address is done, the pool sleeps until there is work or the run ends.
TEST_F(ProbeAhead, AnIdlePoolDoesNotWakeUp) {
    for (int i = 1; i <= 100; i++) fake->delayms[i] = 5;
    AheadRun* run = start(100);
    unsigned char mac[6];
    for (int i = 0; i < 100; i++) ASSERT_EQ(aheadtake(run, i, mac, stopped), probeanswered);
    Sleep(50);
    long before = aheadwakeups;
    Sleep(500);
    long idle = aheadwakeups - before;
    aheadstop(run);
    EXPECT_GT(fake->maxrunning, 1);  // a pool, not one thread
    EXPECT_EQ(idle, 0) << "wake-ups in 500 ms of an idle pool of " << fake->maxrunning;
}

// The region of the calling thread's stack reservation, in bytes.
size_t stackreservation() {
    MEMORY_BASIC_INFORMATION m;
    volatile int onstack = 0;
    VirtualQuery((const void*)&onstack, &m, sizeof m);
    char* base = (char*)m.AllocationBase;
    size_t total = 0;
    for (MEMORY_BASIC_INFORMATION q; VirtualQuery(base + total, &q, sizeof q) && q.AllocationBase == base;)
        total += q.RegionSize;
    return total;
}

// Probe threads reserve a small stack: the program's default, 2 MiB each, would reserve
// 256 MiB of a 32-bit process's 2 GiB for a pool of 128.
TEST(ProbeThreads, ReserveASmallStack) {
    size_t reserved = 0;
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    spawnthread([&] {
        reserved = stackreservation();
        SetEvent(done);
    });
    ASSERT_EQ(WaitForSingleObject(done, 5000), WAIT_OBJECT_0);
    CloseHandle(done);
    const char* image = (const char*)GetModuleHandleA(nullptr);
    const IMAGE_NT_HEADERS* nt = (const IMAGE_NT_HEADERS*)(image + ((const IMAGE_DOS_HEADER*)image)->e_lfanew);
    EXPECT_LT(reserved, (size_t)nt->OptionalHeader.SizeOfStackReserve);
    EXPECT_LE(reserved, (size_t)1 << 20);  // 64 KiB on Windows; Wine reserves at least 1 MiB
}

// The pool grows while addresses wait for a thread, and no further: a short list gets
// a small pool, a long one the whole of it.
std::atomic<int> spawned(0);
void countspawns(std::function<void()> body) {
    spawned++;
    spawnthread(std::move(body));
}

TEST_F(ProbeAhead, ThePoolGrowsWithWhatWaitsUpToItsSize) {
    aheadspawn = countspawns;
    for (int i = 1; i <= 200; i++) fake->delayms[i] = 500;
    AheadRun* run = start(3);
    unsigned char mac[6];
    for (int i = 0; i < 3; i++) ASSERT_EQ(aheadtake(run, i, mac, stopped), probeanswered);
    aheadstop(run);
    EXPECT_LE(spawned, 3);  // the run's thread and at most two workers
    spawned = 0;
    run = start(200);
    for (int i = 0; i < 200; i++) ASSERT_EQ(aheadtake(run, i, mac, stopped), probeanswered);
    aheadstop(run);
    EXPECT_EQ(spawned, aheadworkers);  // the run's thread is the first worker
    EXPECT_EQ(fake->maxrunning, aheadworkers);
}

// Threads that cannot be had: the run's own thread is a failure for the caller; the
// workers beyond the first are done without.
std::atomic<int> spawns(0);
void spawnonlyfirst(std::function<void()> body) {
    if (spawns++ > 0)
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    spawnthread(std::move(body));
}
void spawnnone(std::function<void()>) {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                            "cannot start a probe thread");
}

// No memory for a worker's body is as no thread: done without, its place in the cap
// given back.
void spawnnomemory(std::function<void()> body) {
    if (spawns++ > 0) throw std::bad_alloc();
    spawnthread(std::move(body));
}

TEST_F(ProbeAhead, ThreadsThatCannotBeStartedMeanFewerWorkersOrAFailureToStart) {
    aheadspawn = spawnnone;
    EXPECT_THROW(aheadstart(), std::system_error);
    for (int i = 1; i <= 20; i++) fake->delayms[i] = 2;
    for (spawnfn spawner : {spawnonlyfirst, spawnnomemory}) {
        spawns = 0;
        fake->maxrunning = 0;
        aheadspawn = spawner;
        AheadRun* run = start(20);
        unsigned char mac[6];
        for (int i = 0; i < 20; i++) {
            ASSERT_EQ(aheadtake(run, i, mac, stopped), probeanswered) << i;
            EXPECT_EQ(mac[5], i + 1);
        }
        aheadstop(run);
        EXPECT_EQ(fake->maxrunning, 1);  // the run's own thread alone did the work
        for (int i = 0; i < 100 && aheadlive; i++) Sleep(10);
        EXPECT_EQ(aheadlive, 0);
    }
}

TEST_F(ProbeAhead, AFailureInARunsThreadEndsTheRunAndIsToldToTheTaker) {
    aheadarp = [](const Addr4& a, unsigned char mac[6]) -> unsigned long {
        if (a.o[3] == 3) throw std::bad_alloc();
        return fakearp(a, mac);
    };
    AheadRun* run = start(10);
    unsigned char mac[6];
    ASSERT_EQ(aheadtake(run, 0, mac, stopped), probeanswered);
    try {
        for (int i = 1; i < 10; i++) aheadtake(run, i, mac, stopped);
        ADD_FAILURE() << "no failure reached the taker";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("probes: ", 0), 0u) << e.what();
    }
    aheadstop(run);
}

// Where SendARP is not supported, the engine watching the neighbour table sleeps once
// nothing is in flight, rather than looking at the table again and again.
TEST_F(ProbeAhead, AnIdleNeighbourEngineDoesNotLookAtTheTable) {
    aheadarp = [](const Addr4&, unsigned char[6]) -> unsigned long { return ERROR_NOT_SUPPORTED; };
    AheadRun* run = aheadstart();
    Addr4 away = {{10, 77, 250, 1}};  // off every local subnet: done at once
    aheadsubmit(run, away);
    unsigned char mac[6];
    EXPECT_EQ(aheadtake(run, 0, mac, nullptr), probeunanswered);
    Sleep(100);
    long before = aheadwakeups;
    Sleep(500);
    long idle = aheadwakeups - before;
    aheadsubmit(run, away);  // still awake to new work
    EXPECT_EQ(aheadtake(run, 1, mac, nullptr), probeunanswered);
    aheadstop(run);
    EXPECT_EQ(idle, 0) << "looks at the table in 500 ms of an idle run";
}

TEST_F(ProbeAhead, UnsupportedSendArpOnTheFirstAddressAsksNothingMoreOfIt) {
    // Where SendARP is not supported the run turns to the neighbour table; addresses off
    // every local subnet are answered there as silent without anything being sent.
    aheadarp = [](const Addr4& a, unsigned char mac[6]) -> unsigned long {
        fakearp(a, mac);
        return ERROR_NOT_SUPPORTED;
    };
    AheadRun* run = aheadstart();
    Addr4 far1 = {{10, 77, 250, 1}}, far2 = {{10, 77, 250, 2}};
    aheadsubmit(run, far1);
    aheadsubmit(run, far2);
    unsigned char mac[6];
    EXPECT_EQ(aheadtake(run, 0, mac, nullptr), probeunanswered);
    EXPECT_EQ(aheadtake(run, 1, mac, nullptr), probeunanswered);
    aheadstop(run);
    EXPECT_EQ(calls(), 1u);
}

}  // namespace
