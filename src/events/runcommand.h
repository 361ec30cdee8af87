// The command outlet: the user's command line, already expanded and quoted, started for
// an event without a shell and without a window, at most `commandlimit` at once.
#pragma once
#include <string>

// Starts `cmdline` by CreateProcess, or queues it behind the commands alive; returns at
// once. Waiting lines start in the order given. Beyond `commandqueuelimit` waiting, the
// newest line is dropped (what waits keeps its order) and counted. A blank line is
// ignored.
void runcommand(const std::string& cmdline);
// At the close: starts nothing more (what waits is dropped), lets the commands alive run
// on, and waits at most `ms` for the commands' thread. True when it ended; a later
// runcommand then starts afresh.
bool commandsshutdown(int ms);

// Told, on the commands' thread, when a command line cannot be started, with the system
// error. Once per program (the line's first word, as CreateProcess reads it: each event
// expands the line differently, but what fails to start is the program) until a line of
// that program starts. Null: nothing is told. It should hand the text over and return:
// while it waits, no command starts and no end is noticed.
extern void (*commandfailed)(const std::string& cmdline, unsigned long error);

// Commands alive at once (4; 1 to 63: the thread waits on their handles together).
extern int commandlimit;
// Lines waiting at most (256).
extern int commandqueuelimit;
// Lines dropped since the start: queue full, or waiting at the close.
unsigned long commandsdropped();
// Test seam: waits at most `ms` until nothing waits and no command is alive.
bool commandsidle(int ms);
