// The settings profile ".\Hostwarden.INI", section "Hostwarden".
#pragma once
#include <atomic>
#include <string>
#include <vector>
#include "common/state.h"
#include "settings/profilestore.h"

// Resolves the profile's full path, and `startfolder`, from the current directory, and
// readies the file before anything reads it: puts back a profile a killed run left under
// a backup name, removes the temporary files of runs that have ended, drops a UTF-8
// byte-order mark (reads see the file as the program means it until that has landed),
// and refuses a UTF-16BE file, which is told. Called once at start: every later read and
// write goes to that file even when the current directory moves.
void profileinit();

const int profilebuf = 260;  // a read delivers at most 259 characters

// True when the key read as at least one character into buf (260 bytes). A value a
// change set and that has not reached the file yet is read as it was set.
bool getprofile(const char* key, char* buf);
bool putprofile(const char* key, const char* text);

// A key of a section other than the program's own, as changes and the writer carry it:
// the section's name and the key apart by a line feed, which no key of a profile holds.
std::string sectionkey(const char* section, const char* key);
// The keys of `section` with their values, as the file holds them now (changes to the
// section not yet landed are not seen: it is read once, at start).
std::vector<std::pair<std::string, std::string>> profilesection(const char* section);

// Several keys written as one change of the file. The keys are handed over at end(), as
// a whole, to the profile's writer, which writes the file's whole new text into a new
// file beside it and then puts that in the file's place in one step: a program killed
// meanwhile, a power cut or a full disk leaves the old file or the new one, never a
// part. While another program holds the file the writer waits and tries again; a later
// change merges with what is still pending, and reads see the pending values.
class ProfileChange {
public:
    ProfileChange() = default;
    ~ProfileChange();  // without end() (an exception in the caller): nothing is written, told
    ProfileChange(const ProfileChange&) = delete;
    ProfileChange& operator=(const ProfileChange&) = delete;
    void put(const char* key, const char* text);
    void putaddress(const char* key, const Addr4& addr);  // "%d %d %d %d"
    // Hands the keys over and waits at most `profilewaitms` for their save. True when it
    // landed, or waits for the file to be free; false when it was refused (told, once
    // until a save lands). An empty change changes nothing.
    bool end();

private:
    std::vector<std::string> keys, values;
    bool failed = false, ended = false;
};

// Waits at most `ms` until every change has landed; refused as soon as a save was
// refused and none is due, held when the time ran out.
SaveOutcome profilesettle(int ms);
void profileretry();    // the writer tries now, whatever the last attempt met
void profilediscard();  // pending changes dropped: the user closes without them
// What the close tells when changes are left: why, and what Retry and Cancel do.
std::string profileleft(SaveOutcome outcome);
// Shows what the writer has to say; the main window runs it on WM_PROFILENOTICE.
void profilenotice();

extern int profilewaitms;       // the longest a change waits for its save (100 ms)
extern int profileheldtellms;   // a held save is told after this long (10 s)
extern std::atomic<bool> profilefailuretold;  // a refusal was told since the last save landed
extern std::atomic<bool> profileclosing;      // the close tells instead of the writer

// Reads a key of four decimal octets into addr; on failure addr is left untouched.
bool readaddresskey(const char* key, Addr4* addr);
// Writes addr as four decimal octets ("%d %d %d %d").
bool putaddresskey(const char* key, const Addr4& addr);

// Key names.
extern const char keyperiod[], keylowhost[], keyhighhost[], keylowhost2[], keyhighhost2[];
extern const char keylogs[], keyexport[], keylookup[], keyreportlow[], keyreporthigh[];
