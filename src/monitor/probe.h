// The probe layer: asks whether an address answers ARP, and with which MAC.
//
// A patrol opens a run, submits the addresses in the order it will take their answers,
// and takes each answer in that order. Probes run ahead of the taking, many in flight
// at once (probeahead.cpp); with `probeahead` off each answer is worked out when it is
// taken, one probe at a time.
#pragma once
#include <stddef.h>
#include <functional>
#include "common/state.h"

enum ProbeResult { probeunanswered, probeanswered, probecancelled };
typedef bool (*stopfn)();  // true when the taker gives up waiting

// Probes ahead of the taking; off in tests and the benchmark only (and with the
// environment variable HW_PROBE_ONEBYONE=1), never from the user's settings.
extern bool probeahead;

// Called on a probe thread as soon as the index-th submitted address has answered, ahead
// of its taking; not called when answers are worked out as they are taken.
typedef std::function<void(size_t index, const unsigned char mac[6])> answerfn;
void probebegin(answerfn answered = nullptr);
// Queues an address; its answer is taken by a later probetake, in submission order.
void probesubmit(const Addr4& addr);
// The answer for the oldest submitted address not yet taken (which must be addr), with
// its MAC when answered. Waiting ahead answers ends, cancelled, soon after stopped()
// turns true; unanswered at once when nothing is queued for addr.
ProbeResult probetake(const Addr4& addr, unsigned char mac[6], stopfn stopped);
// Ends the run at once; answers not taken, and answers still to come, are dropped.
void probeend();

// Test seam: when set, takes the place of the system probe, one address at a time.
typedef bool (*probefn)(const Addr4& addr, unsigned char mac[6]);
extern probefn probehook;
