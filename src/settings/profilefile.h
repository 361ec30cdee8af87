// The profile's file on disk, shared by the reads and the changes: its paths, its lock,
// and the steps of a change that touch the disk, with their test seams.
#pragma once
#include <windows.h>
#include <mutex>
#include <string>
#include <vector>

extern char profilefile[MAX_PATH];      // the file, a full path once profileinit has run
extern char profilecopy[MAX_PATH + 4];  // the copy a change is written into
// Held by every change and every read: a read never meets a rename half-way, and a
// change is never interleaved with another. Recursive, so a read inside a change works.
std::recursive_mutex& profilelock();

// The whole file into out; false when it cannot be opened or read. Opened with every
// sharing, so that this read never stops another program's rename or write.
bool readwhole(const char* path, std::string* out);

// Seams for the tests: how the file is looked at, how a written file is flushed, how
// long a rename is tried again while another program holds the file, and the editor.
extern DWORD(WINAPI* profileattributes)(LPCSTR path);
extern BOOL(WINAPI* profileflush)(HANDLE file);
extern int profilereplacems;
extern std::string (*profileeditor)(const std::string& text, const char* section,
                                    const std::vector<std::string>& keys,
                                    const std::vector<std::string>& values);

// The whole text written at the handle's position; false on a short write.
bool writeall(HANDLE file, const std::string& text);

// The copy's data flushed to the disk; false when it cannot be.
bool flushpath(const char* path);
// The copy takes the file's place. A rename refused because another program holds the
// file or the copy open (a virus scanner, the search indexer, a sync client, an editor)
// is tried again for profilereplacems; then the file is rewritten in place from `text`,
// the checked copy, provided it still holds `before`. False when neither worked; the
// file is then as it was.
bool replaceprofile(const std::string& text, const std::string& before);
