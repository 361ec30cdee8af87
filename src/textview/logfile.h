// The log file that mirrors every output line.
#pragma once
#include <stdio.h>

struct _SYSTEMTIME;

extern bool logging;    // lines are mirrored while set
extern FILE* logfile;   // the open log, or null

// Opens the file `name` in the start folder for the lines to come (closing one that is
// open); false, with logging off, when it cannot be opened. Takes the line buffer's lock.
bool openlog(const char* name);
void closelog();  // takes the line buffer's lock
// "HostwardenLog" MMddyy HHmmss ".txt" for `when` in local time (null: now).
void logname(char* buf, int size, const _SYSTEMTIME* when);
