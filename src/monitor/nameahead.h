// Reverse names looked up ahead of the patrol loop.
//
// The patrol tells, in the order it takes its records, each record's address and the MAC
// it holds (nameexpect). As soon as a probe answers, on a probe thread, nameanswered
// starts the lookup of that address on a lookup thread, unless the cache has its name
// and the MAC is the one the record holds; so names are found while the loop still
// waits for earlier answers. The loop then takes each name (hostname) by the rules of
// one lookup at a time: a changed MAC forgets the cached name; a cached name is the
// name; else the lookup's result, cached when found, or the dotted address when not.
#pragma once
#include <memory>
#include <string>
#include "monitor/probe.h"

// Lookups running at once, those of earlier patrols included. A silent name server
// holds each for timeout x attempts (2 s in the lab; 10 s with Linux defaults), and on
// Windows a nameless host holds its lookup for the NetBIOS wait (about 2 s): the pool is
// as large as a dense pool's answering hosts, so that they wait side by side.
const int namethreads = 128;
// The loop waits at most this long for a name, from when it was asked (longer than any
// resolver's own time-outs); then the line shows the dotted address, as for a name not
// found, and the lookup is tried again at the next patrol.
const int namewaitms = 30000;
// A lookup thread's stack reservation: the system's resolver runs on it.
const unsigned namestack = 256 * 1024;

struct NameRun;
typedef std::shared_ptr<NameRun> NameRunRef;

NameRunRef namebegin();
// The next record the loop will take: its address and its MAC before this patrol.
void nameexpect(NameRun& run, const Addr4& addr, const unsigned char known[6]);
// The index-th expected record answered with mac (any thread).
void nameanswered(NameRun& run, size_t index, const unsigned char mac[6]);

enum NameTake { namefound, namenone, namestopped };
// The name for the host line of the index-th expected record, which answered; macchanged
// when it answered with another MAC than it held. namenone gives the dotted address.
// Waiting ends, with namestopped, soon after stopped() turns true.
NameTake hostname(NameRun& run, size_t index, bool macchanged, std::string* name,
                  stopfn stopped);

// Ends the patrol's interest: lookups it asked for that no thread has begun are dropped.
// A lookup already in the resolver cannot be cancelled: it runs to its end on its own
// thread, which then takes the next lookup asked for or ends; its result is kept for a
// patrol that asked for the same address meanwhile, and is otherwise dropped (found
// names enter the cache only through hostname).
void nameend(NameRun& run);

// Lookup threads alive, for the tests.
int namethreadsalive();
