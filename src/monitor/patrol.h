// The patrol: probing every record on a worker thread.
#pragma once
#include "app/state.h"

extern std::atomic<bool> warningshown;

void startpatrol();                  // window thread
void patrolthread();                 // the worker's body
const char* hostname(const Addr4& addr);
