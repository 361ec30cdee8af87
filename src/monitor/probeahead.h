// Probes run ahead of a patrol: many in flight, paced, answers kept until taken.
#pragma once
#include "monitor/probe.h"
#include <functional>

const int aheadrate = 500;      // probes started per second at most
const int aheadburst = 32;      // started at once after a pause
const int aheadinflight = 512;  // probes in flight at most
const int aheadworkers = 8;     // SendARP calls at once
const int aheadpoll = 50;       // ms between two looks at the neighbour table

// The SendARP call of the workers, sendarp but for tests.
typedef unsigned long (*arpfn)(const Addr4& addr, unsigned char mac[6]);
extern arpfn aheadarp;

// Starts a detached thread running body; throws std::system_error when it cannot
// ("cannot start a probe thread"). A seam, so that tests can make it fail.
typedef void (*spawnfn)(std::function<void()> body);
extern spawnfn aheadspawn;
void spawnthread(std::function<void()> body);

// The run's threads catch what fails in them: the answers still to come are then
// dropped, and aheadtake throws a std::runtime_error that says what failed. aheadstart
// and aheadsubmit throw when their thread or memory cannot be had.
struct AheadRun;
AheadRun* aheadstart();
void aheadsubmit(AheadRun* run, const Addr4& addr);
// The answer of the index-th submitted address.
ProbeResult aheadtake(AheadRun* run, size_t index, unsigned char mac[6], stopfn stopped);
// Ends the run without waiting for its threads; they drop what they still find.
void aheadstop(AheadRun* run);
