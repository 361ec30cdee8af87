// Program-wide state: settings held in memory, the user activity stamp, the patrol
// flags and the period timer. Window-free so that logic files can use it.
#pragma once
#include <atomic>

// An IPv4 address as 4 bytes in network order (first octet first).
struct Addr4 {
    unsigned char o[4];
};
inline bool addrzero(const Addr4& a) { return !(a.o[0] | a.o[1] | a.o[2] | a.o[3]); }
inline bool addrequal(const Addr4& a, const Addr4& b) {
    return a.o[0] == b.o[0] && a.o[1] == b.o[1] && a.o[2] == b.o[2] && a.o[3] == b.o[3];
}

extern const char progname[];     // "Hostwarden": class, menu, profile section, registry key
extern const char progtitle[];    // "Hostwarden " and the version

extern int period;                // patrol period in seconds
extern Addr4 lowhost, highhost;   // range 1
extern Addr4 lowhost2, highhost2; // range 2; a range is active when its low address is not 0.0.0.0
extern long long lastactivity;    // seconds since 1970 of the last user action, 0 = none yet

// The folder the program was started in, with its trailing backslash ("" until known,
// and then the current directory counts). The profile and the log files live there,
// whatever the current directory becomes while a file dialog browses.
extern char startfolder[260];

// The period timer of the main window: its id, and its elapse for a period in seconds
// (period x 1000 milliseconds, modulo 2^32).
const unsigned patroltimer = 1;
unsigned periodelapse(int period);

// Patrol flags: single bytes shared by the window and patrol threads without a lock.
extern std::atomic<bool> patrolling;
extern std::atomic<bool> stoprequest;
extern std::atomic<bool> exitrequest;
extern std::atomic<bool> suspended;
