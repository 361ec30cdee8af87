// The log file that mirrors every output line.
#pragma once
#include <stdio.h>

struct _SYSTEMTIME;

extern bool logging;    // lines are mirrored while set
extern FILE* logfile;   // the open log, or null

// Reads the log switch from the profile; with toggle, flips it and writes it back. When
// logging is on afterwards, a new file named for the current time is opened.
void setuplog(bool toggle);  // window thread
void closelog();             // takes the line buffer's lock
// "HostwardenLog" MMddyy HHmmss ".txt" for `when` in local time (null: now).
void logname(char* buf, int size, const _SYSTEMTIME* when);
