#include "events/eventtext.h"
#include <inttypes.h>
#include <stdio.h>

namespace {

long long floordiv(long long a, long long b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// The proleptic Gregorian date of a count of days since 1970-01-01: the civil-from-days
// arithmetic over 400-year eras of 146097 days, each counted from a March 1st so that
// the leap day ends the year. No gmtime: its buffer is shared between threads on
// Windows' runtimes, and its range differs between them.
void civilfromdays(long long days, long long* y, int* m, int* d) {
    long long z = days + 719468;  // days since 0000-03-01
    long long era = floordiv(z, 146097);
    long long doe = z - era * 146097;                                     // [0, 146096]
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);              // [0, 365]
    long long mp = (5 * doy + 2) / 153;                                   // March = 0
    *d = (int)(doy - (153 * mp + 2) / 5 + 1);
    *m = (int)(mp < 10 ? mp + 3 : mp - 9);
    *y = yoe + era * 400 + (*m <= 2);
}

}  // namespace

std::string isotime(long long when, int offsetminutes) {
    // Days and the second of the day apart, so that no sum or product leaves 64 bits.
    long long days = when / 86400, sec = when % 86400;
    if (sec < 0) days--, sec += 86400;
    sec += (long long)offsetminutes * 60;
    days += floordiv(sec, 86400);
    sec -= floordiv(sec, 86400) * 86400;
    long long y;
    int m, d;
    civilfromdays(days, &y, &m, &d);
    long long off = offsetminutes < 0 ? -(long long)offsetminutes : offsetminutes;
    char buf[80];
    snprintf(buf, sizeof buf, "%04" PRId64 "-%02d-%02dT%02d:%02d:%02d%c%02" PRId64 ":%02d",
             (int64_t)y, m, d, (int)(sec / 3600), (int)(sec / 60 % 60), (int)(sec % 60),
             offsetminutes < 0 ? '-' : '+', (int64_t)(off / 60), (int)(off % 60));
    return buf;
}

const char* eventkindname(EventKind k) {
    switch (k) {
    case eventmacchanged: return "MAC changed";
    case eventnewmachine: return "new machine";
    }
    return "unknown";
}

std::string addressfield(const Addr4& a) {
    char buf[16];
    snprintf(buf, sizeof buf, "%d.%d.%d.%d", a.o[0], a.o[1], a.o[2], a.o[3]);
    return buf;
}

std::string macfield(const unsigned char mac[6]) {
    if (!(mac[0] | mac[1] | mac[2] | mac[3] | mac[4] | mac[5])) return "";
    char buf[18];
    snprintf(buf, sizeof buf, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3],
             mac[4], mac[5]);
    return buf;
}

std::string csvfield(const std::string& s) {
    // Names come from the network (reverse lookups answer with any bytes) and makers from
    // a file the user chose. A spreadsheet opening the journal runs a cell that begins with
    // = + - @ as a formula, and some skip a leading tab or CR first. Such a field gets an
    // apostrophe in front: shown, never run, and the rest of the text stays as it was.
    // None of the program's own fields (time, kind, address, MACs) begins with one of these.
    std::string t = s;
    if (!t.empty() && (t[0] == '=' || t[0] == '+' || t[0] == '-' || t[0] == '@' || t[0] == '\t' ||
                       t[0] == '\r'))
        t.insert(t.begin(), '\'');
    bool quote = t.find_first_of(",\"\r\n") != std::string::npos ||
                 (!t.empty() && (t.front() == ' ' || t.back() == ' '));
    if (!quote) return t;
    std::string q = "\"";
    for (char c : t) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

const char journalheader[] = "time,kind,address,old MAC,new MAC,name,maker\r\n";

namespace {

// A name or maker with its line ends as spaces. One event is one line of the file: a line
// end inside a quoted field is valid CSV, but the mending of a killed program's last line
// looks only behind the file's last LF. Names come from reverse lookups, which can answer
// with any bytes; no real host name holds a line end.
std::string oneline(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

}  // namespace

std::string journalline(const Event& e) {
    return csvfield(isotime(e.when, e.offsetminutes)) + ',' + csvfield(eventkindname(e.kind)) +
           ',' + csvfield(addressfield(e.addr)) + ',' + csvfield(macfield(e.oldmac)) + ',' +
           csvfield(macfield(e.newmac)) + ',' + csvfield(oneline(e.name)) + ',' +
           csvfield(oneline(e.maker)) + "\r\n";
}

std::string journalmend(const std::string& lastline) {
    if (lastline.empty()) return "";
    // Every quote opens or closes a quoted field (a doubled one closes and reopens), so
    // an odd count means the line stopped inside one; without the closing quote a reader
    // would take the next line into that field.
    size_t quotes = 0;
    for (char c : lastline) quotes += c == '"';
    if (quotes % 2) return "\"\r\n";
    // Outside quotes a CR is only ever the start of the line's end: its LF was not written.
    if (lastline.back() == '\r') return "\n";
    return "\r\n";
}
