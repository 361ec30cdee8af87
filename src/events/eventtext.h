// The texts of an event: its time, kind, address and MACs as the journal and the command
// give them, and the journal's CSV lines. Window-free.
#pragma once
#include <string>
#include "events/event.h"

// ISO 8601 local time with its offset, "1970-01-01T01:00:00+01:00" for when = 0 and
// offsetminutes = +60; "+00:00" for UTC, never "Z", so that every line has one shape.
// The year has four digits from 0000 to 9999, more (or a sign) outside.
std::string isotime(long long when, int offsetminutes);

// "MAC changed", "new machine".
const char* eventkindname(EventKind k);

// "10.77.0.5".
std::string addressfield(const Addr4& a);

// "02:77:01:00:00:0a" (lower case, as the host line shows MACs); "" when all zero.
std::string macfield(const unsigned char mac[6]);

// One CSV field (RFC 4180): in quotes, with each quote doubled, when it holds a comma,
// a quote, CR or LF, or begins or ends with a space; else as it is. A field that begins
// with = + - @ tab or CR gets an apostrophe in front, so that a spreadsheet shows it as
// text instead of running it as a formula.
std::string csvfield(const std::string& s);

// The journal's first line: "time,kind,address,old MAC,new MAC,name,maker" and CRLF.
extern const char journalheader[];

// The journal's line of e, its fields in the header's order, ended by CRLF. The name and
// the maker as given ("NA" stays "NA", a missing maker is an empty field), except that a
// CR or LF in them is written as a space: the line holds no line end but its own.
std::string journalline(const Event& e);

// What to append to a journal whose bytes after its last LF (the whole file when it
// holds none) are `lastline`, so that the next line starts cleanly: "" when it is
// empty; "\"\r\n" when the partial line stopped inside a quoted field (a CR there is
// the field's); else "\n" when it ends in CR, "\r\n" otherwise.
std::string journalmend(const std::string& lastline);
