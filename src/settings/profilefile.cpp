// One write of the profile, from reading the file to the new file in its place, and the
// clean-up of what a killed run left beside it.
#include "settings/profilefile.h"
#include "settings/profilecheck.h"
#include "settings/profilecoding.h"
#include "settings/profileedit.h"
#include <algorithm>
#include "common/state.h"
#include <atomic>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

char profilefile[MAX_PATH] = ".\\Hostwarden.INI";

DWORD(WINAPI* profileattributes)(LPCSTR) = GetFileAttributesA;
BOOL(WINAPI* profileflush)(HANDLE) = FlushFileBuffers;
void (*profilewritten)(const char*) = nullptr;
std::string (*profileeditor)(const std::string&, const char*, const std::vector<std::string>&,
                             const std::vector<std::string>&) = profileedit;

std::recursive_mutex& profilelock() {
    static std::recursive_mutex* m = new std::recursive_mutex;  // never destroyed: the
    return *m;                                                  // writer may outlive main
}

const DWORD shareall = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool readwhole(const char* path, std::string* out) {
    HANDLE h = CreateFileA(path, GENERIC_READ, shareall, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    out->clear();
    char buf[16384];
    DWORD n;
    bool ok;
    while ((ok = ReadFile(h, buf, sizeof buf, &n, nullptr) != 0) && n) out->append(buf, n);
    DWORD e = GetLastError();
    CloseHandle(h);
    SetLastError(e);
    return ok;
}

// Another program has the file, or the temporary one, open in a way that stops this
// step: a passing state.
static bool busy(DWORD e) {
    return e == ERROR_SHARING_VIOLATION || e == ERROR_ACCESS_DENIED || e == ERROR_LOCK_VIOLATION ||
           e == ERROR_UNABLE_TO_REMOVE_REPLACED || e == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
}
static bool notfound(DWORD e) { return e == ERROR_FILE_NOT_FOUND; }

// Files beside the profile: "Hostwarden.INI.<process>-<n>.tmp" for a new text being
// written, ".bak" for the old file while ReplaceFile puts the new one in its place.
static std::atomic<unsigned> sidecount(0);
static void sidename(char* out, size_t size, const char* ext) {
    snprintf(out, size, "%s.%lu-%u.%s", profilefile, (unsigned long)GetCurrentProcessId(),
             ++sidecount, ext);
}

// A profile that stayed under a backup name because neither file could take the name.
static char lostbackup[MAX_PATH + 32];

// The text to write: the file's text with the keys set, in the file's own coding.
static WriteResult edit(const std::string& before, std::vector<std::string> keys,
                        std::vector<std::string> values, std::string* out, DWORD* err) {
    ProfileCoding coding = profilecoding(before);
    if (coding == codingutf16be) return writebigendian;
    std::string text = profiledecode(before, coding);
    if (coding == codingutf16le) {
        // The program's texts are ANSI; the file's are UTF-16, edited as UTF-8.
        for (std::vector<std::string>* list : {&keys, &values})
            for (std::string& s : *list) {
                std::u16string u(s.size(), u'\0');
                int n = MultiByteToWideChar(CP_ACP, 0, s.data(), (int)s.size(), (wchar_t*)&u[0], (int)u.size());
                u.resize(n > 0 ? n : 0);
                s = wtf8(u);
            }
    }
    // The program's own section first, then each other section its keys name
    // ("section\nkey"), one edit and one check at a time.
    std::vector<std::string> sections = {progname};
    for (const std::string& k : keys) {
        size_t nl = k.find('\n');
        if (nl == std::string::npos) continue;
        std::string name = k.substr(0, nl);
        if (std::find(sections.begin(), sections.end(), name) == sections.end()) sections.push_back(name);
    }
    for (size_t n = 0; n < sections.size(); n++) {
        std::vector<std::string> k, v;
        for (size_t i = 0; i < keys.size() && i < values.size(); i++) {
            size_t nl = keys[i].find('\n');
            if (n == 0 ? nl != std::string::npos : keys[i].compare(0, nl, sections[n]) != 0 || nl != sections[n].size())
                continue;
            k.push_back(n == 0 ? keys[i] : keys[i].substr(nl + 1));
            v.push_back(values[i]);
        }
        if (n > 0 && k.empty()) continue;
        std::string now = profileeditor(text, sections[n].c_str(), k, v);
        if (!profilecomplete(text, now, sections[n].c_str(), k, v)) {
            *err = ERROR_INVALID_DATA;
            return writefailed;
        }
        text.swap(now);
    }
    *out = profileencode(text, coding);
    return writelanded;
}

// The bytes into a new file of a new name, written and flushed through one handle.
static WriteResult writetemp(const std::string& bytes, char* temp, size_t size, DWORD* err) {
    for (int tries = 0;; tries++) {
        sidename(temp, size, "tmp");
        HANDLE h = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            DWORD e = *err = GetLastError();
            // A name held by a scanner or pending deletion refuses: another name. A
            // folder that refuses every name takes no new file.
            if ((busy(e) || e == ERROR_FILE_EXISTS) && tries < 2) continue;
            if (e == ERROR_SHARING_VIOLATION) return writeheld;
            if (e == ERROR_DISK_FULL || e == ERROR_HANDLE_DISK_FULL) return writefull;
            if (e == ERROR_ACCESS_DENIED || e == ERROR_WRITE_PROTECT || e == ERROR_PATH_NOT_FOUND)
                return writefolder;
            return writefailed;
        }
        DWORD n = 0;
        bool ok = bytes.empty() ||
                  (WriteFile(h, bytes.data(), (DWORD)bytes.size(), &n, nullptr) && n == bytes.size());
        ok = ok && profileflush(h);  // on the disk before it can take the file's place
        DWORD e = ok ? 0 : GetLastError();
        ok = CloseHandle(h) && ok;
        if (ok) return writelanded;
        DeleteFileA(temp);
        *err = e ? e : GetLastError();
        return *err == ERROR_DISK_FULL || *err == ERROR_HANDLE_DISK_FULL ? writefull : writefailed;
    }
}

// The new file takes the profile's place; false-like results leave both as they were.
static WriteResult replace(const char* temp, bool existed, const std::string& before, DWORD* err) {
    std::lock_guard<std::recursive_mutex> g(profilelock());
    if (!existed) {
        // Never replaces: a file that appeared meanwhile (an editor that saves by a
        // rename, a share that said "not found" for a moment) is read and changed instead.
        if (MoveFileExA(temp, profilefile, MOVEFILE_WRITE_THROUGH)) return writelanded;
        DWORD e = *err = GetLastError();
        if (e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS) return writeagain;
        return busy(e) ? writeheld : writefailed;
    }
    std::string now;
    if (!readwhole(profilefile, &now)) {
        DWORD e = *err = GetLastError();
        return notfound(e) ? writeagain : busy(e) ? writeheld : writefailed;
    }
    if (now != before) return writeagain;  // another program changed it meanwhile
    // ReplaceFile, not MoveFileEx: on Windows a rename over a file that any program has
    // open fails, even when it shares delete (Wine allows it); ReplaceFile works then, and
    // keeps the file's attributes and ACL. With a backup name its errors 1175 and 1176
    // leave both files as they were.
    char backup[MAX_PATH + 32];
    sidename(backup, sizeof backup, "bak");
    if (ReplaceFileA(profilefile, temp, backup, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        DeleteFileA(backup);
        return writelanded;
    }
    DWORD e = *err = GetLastError();
    if (e == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file went to the backup name and the new one could not follow: either
        // takes the name now, so that the profile is never missing.
        if (MoveFileExA(temp, profilefile, MOVEFILE_WRITE_THROUGH)) {
            DeleteFileA(backup);
            return writelanded;
        }
        if (!MoveFileExA(backup, profilefile, MOVEFILE_WRITE_THROUGH))
            snprintf(lostbackup, sizeof lostbackup, "%s", backup);  // put back before the next write
        return writeheld;
    }
    DWORD attrs = profileattributes(profilefile);
    // Wine answers "not found" when a program holds the file without sharing delete
    // (Windows: a sharing violation): only a file that is gone is read again.
    if (notfound(e)) return attrs == INVALID_FILE_ATTRIBUTES ? writeagain : writeheld;
    if (e == ERROR_ACCESS_DENIED && attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
        return writereadonly;
    return busy(e) ? writeheld : writefailed;
}

WriteResult writeprofile(const std::vector<std::string>& keys, const std::vector<std::string>& values,
                         DWORD* err) {
    *err = 0;
    if (lostbackup[0]) {
        std::lock_guard<std::recursive_mutex> g(profilelock());
        if (profileattributes(profilefile) == INVALID_FILE_ATTRIBUTES &&
            !MoveFileExA(lostbackup, profilefile, MOVEFILE_WRITE_THROUGH))
            return writeheld;
        lostbackup[0] = 0;
    }
    DWORD attrs = profileattributes(profilefile);
    bool existed = attrs != INVALID_FILE_ATTRIBUTES;
    std::string before;
    if (!existed) {
        // Only a file that is not there is no file: any other failure to look (a network
        // share's brief error) is no licence to write a file of this change's keys alone.
        DWORD e = *err = GetLastError();
        if (e == ERROR_PATH_NOT_FOUND) return writefolder;
        if (!notfound(e)) return busy(e) ? writeheld : writefailed;
    } else if (attrs & FILE_ATTRIBUTE_READONLY) {
        return writereadonly;  // as the system's own write would find
    } else if (!readwhole(profilefile, &before)) {
        DWORD e = *err = GetLastError();
        return notfound(e) ? writeagain : busy(e) ? writeheld : writefailed;
    }
    std::string bytes;
    WriteResult r = writelanded;
    if (keys.empty())  // only a mark to drop: every other byte as it is
        bytes = profiledecode(before, profilecoding(before));
    else
        r = edit(before, keys, values, &bytes, err);
    if (r != writelanded) return r;
    char temp[MAX_PATH + 32];
    r = writetemp(bytes, temp, sizeof temp, err);
    if (r != writelanded) return r;
    if (profilewritten) profilewritten(temp);
    r = replace(temp, existed, before, err);
    if (r != writelanded) DeleteFileA(temp);  // one held by a scanner goes with the next sweep
    return r;
}

// True while process `pid` runs (other than this one).
static bool running(DWORD pid) {
    if (pid == GetCurrentProcessId()) return false;  // no write of ours is in flight
    HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!p) return GetLastError() != ERROR_INVALID_PARAMETER;
    bool alive = WaitForSingleObject(p, 0) == WAIT_TIMEOUT;
    CloseHandle(p);
    return alive;
}

void profilesweep() {
    std::lock_guard<std::recursive_mutex> g(profilelock());
    const char* slash = strrchr(profilefile, '\\');
    std::string folder(profilefile, slash ? slash + 1 - profilefile : 0);
    std::string base = slash ? slash + 1 : profilefile;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((std::string(profilefile) + ".*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> temps, backups;
    std::vector<FILETIME> times;
    do {
        std::string name = fd.cFileName;
        if (name.size() <= base.size() + 1 || _strnicmp(name.c_str(), base.c_str(), base.size()) ||
            name[base.size()] != '.')
            continue;
        const char* rest = name.c_str() + base.size() + 1;
        unsigned long pid;
        unsigned n;
        char ext[4], end;
        bool ours = sscanf(rest, "%lu-%u.%3[a-z]%c", &pid, &n, ext, &end) == 3 &&
                    (!strcmp(ext, "tmp") || !strcmp(ext, "bak"));
        if (!_stricmp(rest, "new")) {
            temps.push_back(folder + name);  // the copy of an older build's killed save
        } else if (ours && !running(pid)) {
            (ext[0] == 't' ? temps : backups).push_back(folder + name);
            if (ext[0] == 'b') times.push_back(fd.ftLastWriteTime);
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    // Killed between ReplaceFile's two renames: the profile is under its backup name. The
    // newest backup is the last profile.
    if (profileattributes(profilefile) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND &&
        !backups.empty()) {
        size_t newest = 0;
        for (size_t i = 1; i < backups.size(); i++)
            if (CompareFileTime(&times[i], &times[newest]) > 0) newest = i;
        if (MoveFileExA(backups[newest].c_str(), profilefile, MOVEFILE_WRITE_THROUGH))
            backups.erase(backups.begin() + newest);
    }
    for (const std::string& f : temps) DeleteFileA(f.c_str());
    for (const std::string& f : backups) DeleteFileA(f.c_str());
}
