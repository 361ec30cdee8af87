// The events' journal, "HostwardenEvents.csv" beside the profile: one CSV line per
// event, appended. Used by the events' thread only.
#pragma once
#include <string>

extern const char journalname[];  // "HostwardenEvents.csv"

enum JournalResult { journalwritten, journalheld, journalrefused };

// Appends `lines` (whole lines, each ending in CR LF) to the journal in one write. The
// first write of a run starts an empty file with the header line, and ends a partial
// last line a killed run left (so that the next line starts cleanly after it). Held
// while another program opens the file without sharing write (a spreadsheet showing it):
// nothing is written, the caller keeps the lines and tries again. `err` is the system's
// error of a refusal or hold.
JournalResult journalappend(const std::string& lines, unsigned long* err);
std::string journalpath();
