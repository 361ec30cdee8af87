// The settings profile ".\Hostwarden.INI", section "Hostwarden".
#pragma once
#include "common/state.h"

// Resolves the profile's full path, and `startfolder`, from the current directory.
// Called once at start, before anything reads the profile: every later read and write
// goes to that file even when the current directory moves (a file dialog may move it).
void profileinit();

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
// False when nothing was changed; the first such change of a run is told ("Failure").
bool profileend();
extern std::atomic<bool> profilefailuretold;  // the failure was told (tests reset it)
// Reads a key of four decimal octets into addr; on failure addr is left untouched.
bool readaddresskey(const char* key, Addr4* addr);
// Writes addr as four decimal octets ("%d %d %d %d").
bool putaddresskey(const char* key, const Addr4& addr);

// Key names.
extern const char keyperiod[], keylowhost[], keyhighhost[], keylowhost2[], keyhighhost2[];
extern const char keylogs[], keyexport[], keylookup[], keyreportlow[], keyreporthigh[];
