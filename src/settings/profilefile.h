// The profile's file on disk: its paths, the lock that keeps reads off a replacement
// half-way, and one write of the whole text, with the test seams of its steps.
#pragma once
#include <windows.h>
#include <mutex>
#include <string>
#include <vector>

extern char profilefile[MAX_PATH];  // the file, a full path once profileinit has run
// Held by every read of the file and around the step that puts a new file in its place:
// on Windows (and under Wine) the old file leaves the name a moment before the new one
// takes it. Recursive, so that a read inside it works.
std::recursive_mutex& profilelock();

// The whole file into out; false when it cannot be opened or read. Opened with every
// sharing, so that this read never stops another program's rename or write.
bool readwhole(const char* path, std::string* out);

// Why a write did not land, and what comes next.
enum WriteResult {
    writelanded,
    writeheld,      // another program holds the file or the temporary one: wait, try again
    writeagain,     // the file changed or appeared meanwhile: read it and make the change again
    writereadonly,  // refused: the file is read-only
    writefolder,    // refused: the folder takes no new file
    writefull,      // refused: the disk is full
    writebigendian, // refused: UTF-16BE, which Windows cannot read
    writefailed,    // refused: any other error (lasterror says which)
};

// One write of the profile: the file read, the keys set, the whole text written and
// flushed through one handle into a new temporary file beside it, which then takes the
// file's place: by ReplaceFile over a file that is there, by a rename that never replaces
// where there is none. On any other result than writelanded the file is as it was (or,
// after writeagain, as another program made it), and no temporary file stays behind.
WriteResult writeprofile(const std::vector<std::string>& keys, const std::vector<std::string>& values,
                         DWORD* lasterror);

// Puts back a profile left under a backup name by a run killed inside a replacement, and
// removes the temporary and backup files of runs that have ended (and this one's own,
// which were held when it tried), so that none piles up.
void profilesweep();

// Seams for the tests: how the file is looked at, how the written text is flushed, a
// step run once the temporary file is written and closed (as a virus scanner opens a
// file that was just closed), and the editor.
extern DWORD(WINAPI* profileattributes)(LPCSTR path);
extern BOOL(WINAPI* profileflush)(HANDLE file);
extern void (*profilewritten)(const char* temppath);
extern std::string (*profileeditor)(const std::string& text, const char* section,
                                    const std::vector<std::string>& keys,
                                    const std::vector<std::string>& values);
