// The settings profile ".\Hostwarden.INI", section "Hostwarden".
#pragma once
#include "app/state.h"

const int profilebuf = 260;  // a read delivers at most 259 characters

// True when the key read as at least one character into buf (260 bytes).
bool getprofile(const char* key, char* buf);
bool putprofile(const char* key, const char* text);

// Several keys written as one change of the file. The keys go into a complete copy
// beside the file, which is checked and then takes the file's place in one step, so
// that a program killed meanwhile, or a disk that fills up, leaves the old file or the
// new one and never a part of either. putprofile is one such change. Writers on other
// threads wait while a change is made.
void profilebegin();
void profileput(const char* key, const char* text);
bool profileend();  // false when nothing was changed
// Reads a key of four decimal octets into addr; on failure addr is left untouched.
bool readaddresskey(const char* key, Addr4* addr);

// Key names.
extern const char keyperiod[], keylowhost[], keyhighhost[], keylowhost2[], keyhighhost2[];
extern const char keylogs[], keyexport[], keylookup[], keyreportlow[], keyreporthigh[];
