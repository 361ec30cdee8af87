// The settings profile ".\Hostwarden.INI", section "Hostwarden".
#pragma once
#include "app/state.h"

const int profilebuf = 260;  // a read delivers at most 259 characters

// True when the key read as at least one character into buf (260 bytes).
bool getprofile(const char* key, char* buf);
bool putprofile(const char* key, const char* text);
// Reads a key of four decimal octets into addr; on failure addr is left untouched.
bool readaddresskey(const char* key, Addr4* addr);

// Key names.
extern const char keyperiod[], keylowhost[], keyhighhost[], keylowhost2[], keyhighhost2[];
extern const char keylogs[], keyexport[], keylookup[], keyreportlow[], keyreporthigh[];
