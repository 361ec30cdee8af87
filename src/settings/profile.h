// The settings profile ".\Hostwarden.INI", section "Hostwarden".
#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <vector>
#include "common/state.h"

// Resolves the profile's full path, and `startfolder`, from the current directory.
// Called once at start, before anything reads the profile: every later read and write
// goes to that file even when the current directory moves (a file dialog may move it).
void profileinit();

const int profilebuf = 260;  // a read delivers at most 259 characters

// True when the key read as at least one character into buf (260 bytes).
bool getprofile(const char* key, char* buf);
bool putprofile(const char* key, const char* text);

// Several keys written as one change of the file, held as a scope. The keys go into a
// complete copy beside the file, which is checked, flushed to the disk and then takes
// the file's place in one step, so that a program killed meanwhile, a power cut or a
// disk that fills up leaves the old file or the new one and never a part of either.
// While a change is alive it holds the profile's lock: writers and readers on other
// threads wait. Whatever fails inside it, an exception included, makes it a failed
// change that is told; a change left without end() (an exception in its caller) writes
// nothing and lets the lock go. putprofile is one such change.
class ProfileChange {
public:
    ProfileChange();
    ~ProfileChange();
    ProfileChange(const ProfileChange&) = delete;
    ProfileChange& operator=(const ProfileChange&) = delete;
    void put(const char* key, const char* text);
    void putaddress(const char* key, const Addr4& addr);  // "%d %d %d %d"
    // Writes the keys and lets the lock go. False when nothing was changed; the failure
    // is told ("Failure") unless one was told since the last change that succeeded, and
    // always when `alwaystell` (the shutdown's save).
    bool end(bool alwaystell = false);

private:
    std::unique_lock<std::recursive_mutex> lock;
    bool failed = false;  // nothing will be changed
    bool direct = false;  // no copy could be created: keys go to the file itself
    bool ended = false;
    std::string before;   // the file as it was
    std::vector<std::string> keys, values;
    bool write();
    bool finish(bool alwaystell, bool abandoned);
};
extern std::atomic<bool> profilefailuretold;  // a failure was told since the last success

// Reads a key of four decimal octets into addr; on failure addr is left untouched.
bool readaddresskey(const char* key, Addr4* addr);
// Writes addr as four decimal octets ("%d %d %d %d").
bool putaddresskey(const char* key, const Addr4& addr);

// Key names.
extern const char keyperiod[], keylowhost[], keyhighhost[], keylowhost2[], keyhighhost2[];
extern const char keylogs[], keyexport[], keylookup[], keyreportlow[], keyreporthigh[];
