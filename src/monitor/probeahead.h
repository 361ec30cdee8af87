// Probes run ahead of a patrol: many in flight, paced, answers kept until taken.
#pragma once
#include "monitor/probe.h"
#include <atomic>
#include <functional>

const int aheadrate = 500;      // probes started per second at most
const int aheadburst = 32;      // started at once after a pause
const int aheadinflight = 512;  // probes in flight at most
// SendARP calls at once (Windows). One call blocks its thread until the address answers
// or the stack gives up, 3 x RetransmitTime (3 s by default) for a silent one, so a
// patrol of N silent addresses takes about ceil(N / aheadworkers) x 3 s
// (bench/windows-model.sh). 128, the most threads we allow: 100 addresses of a pool
// with 80 silent in one round (3.3 s, 1.11 x one silent probe); 2 x /24 with 504
// silent in four (12.6 s, 4.2 x; 8 workers took 189 s). The pool grows only while
// addresses wait for a thread, and stays bounded so as not to flood the system's
// neighbour cache with unresolved entries. A variable for the benchmark and tests.
extern int aheadworkers;
const int aheadpoll = 50;       // ms between two looks at the neighbour table

// The SendARP call of the workers, sendarp but for tests.
typedef unsigned long (*arpfn)(const Addr4& addr, unsigned char mac[6]);
extern arpfn aheadarp;

// Starts a detached thread running body, with a stack reservation of aheadstack (or
// stack); throws std::system_error when it cannot ("cannot start a probe thread"), or
// std::bad_alloc. aheadspawn is the probes' seam, so that tests can make it fail.
typedef void (*spawnfn)(std::function<void()> body);
extern spawnfn aheadspawn;
void spawnthread(std::function<void()> body);
void spawnthread(std::function<void()> body, unsigned stack);
const unsigned aheadstack = 64 * 1024;

// SendARP workers alive, of every run (a stopped run's may still be blocked in SendARP),
// each run's first included; new ones start only while fewer than aheadworkers live.
extern std::atomic<int> aheadlive;
// Times a thread of a run waiting for work woke up, for the tests.
extern std::atomic<long> aheadwakeups;

// The run's threads catch what fails in them: the answers still to come are then
// dropped, and aheadtake throws a std::runtime_error that says what failed. aheadstart
// and aheadsubmit throw when their thread or memory cannot be had.
struct AheadRun;
// answered, when set, is called on a run's thread as each address answers.
AheadRun* aheadstart(answerfn answered = nullptr);
void aheadsubmit(AheadRun* run, const Addr4& addr);
// The answer of the index-th submitted address.
ProbeResult aheadtake(AheadRun* run, size_t index, unsigned char mac[6], stopfn stopped);
// Ends the run without waiting for its threads; they drop what they still find.
void aheadstop(AheadRun* run);
