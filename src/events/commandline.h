// The admin's command for one event: a template such as
//   C:\tools\notify.exe %kind% %address% %oldmac% %newmac%
// split into arguments, the event's values put in, and the command line that hands the
// program exactly those arguments. Window-free.
//
// The line is run by CreateProcess, which starts no shell: & | < > ^ and % are plain
// characters to it and to the program. The program splits the line itself; every program
// built with Microsoft's C runtime (and MinGW's, which uses it) splits it by the rules
// below. One that splits by rules of its own, cmd.exe above all, sees another line, where
// a value could become a command: so the command names a program or a script host, never
// `cmd /c` with placeholders. A batch file is run through cmd.exe by CreateProcess itself,
// so commandline refuses one.
#pragma once
#include <string>
#include <vector>
#include "events/event.h"

// The placeholders: %kind% %address% %oldmac% %newmac% %name% %maker% %time% (any case),
// and %% for one percent sign; any other %word% stays as it is.

// `line` split as the C runtime splits a command line. The program (the first argument)
// by Windows' rule for it: up to the first space or tab, or between quotes when it begins
// with one. The others: space and tab separate arguments outside quotes; quotes group and
// are dropped; 2n backslashes before a quote give n and the quote groups, 2n+1 give n and
// a literal quote; backslashes elsewhere are literal; "" inside quotes is a literal quote.
// Leading spaces and tabs are skipped; an empty line gives no arguments.
std::vector<std::string> splitcommandline(const std::string& line);

// The arguments of templ for e: templ split as above, then the placeholders of each
// argument after the program replaced by e's values (%time% by isotime, the MACs by
// macfield, "" when there is none). A value is never split again: whatever it holds
// (spaces, quotes, backslashes, % or line ends) it stays inside its one argument, and an
// empty value can leave an empty argument. The program is taken as written, with no
// placeholder replaced, so that no value from the network chooses what runs.
std::vector<std::string> commandargs(const std::string& templ, const Event& e);

// The command line for CreateProcess whose split (as above) gives back exactly args. Each
// argument after the program is quoted when it is empty or holds a space, tab, quote or
// line end, with the backslashes before a quote, and before the closing quote, doubled
// and each quote escaped. The program is quoted when it holds a space or tab. Returns ""
// (nothing to run) when there is no program, when the program is empty, holds a quote
// (no quoting can pass one through Windows' rule for it) or is a batch file (.bat, .cmd:
// cmd.exe would read the arguments by its own rules), or when an argument holds a NUL
// byte, which no command line can carry.
std::string commandline(const std::vector<std::string>& args);
