// The patrol: probing every record on a worker thread.
#pragma once
#include "common/state.h"
#include <string>
#include <vector>

extern std::atomic<bool> warningshown;

void startpatrol();                  // window thread
void patrolthread();                 // the worker's body

// Test seam: called on the patrol thread as it ends, once it has cleared its Stop and
// before it lets `patrolling` go, as a Stop command given at that moment would be.
extern void (*patrolendhook)();

// The "MAC address changed for ..." lines of the patrols that posted WM_MACCHANGED since
// they were last taken, in the order printed; taken once (window thread), empty until the
// next such patrol.
std::vector<std::string> takechanges();
