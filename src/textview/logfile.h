// The log file that mirrors every output line.
#pragma once
#include <stdio.h>

extern bool logging;    // lines are mirrored while set
extern FILE* logfile;   // the open log, or null

void setuplog(bool toggle);  // window thread
void closelog();             // takes the line buffer's lock
