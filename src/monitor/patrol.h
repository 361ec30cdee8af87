// The patrol: probing every record on a worker thread.
#pragma once
#include "common/state.h"

extern std::atomic<bool> warningshown;

void startpatrol();                  // window thread
void patrolthread();                 // the worker's body
