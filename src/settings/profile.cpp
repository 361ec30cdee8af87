// Profile access through the system's profile functions, and address keys.
#include "settings/profile.h"
#include "settings/parse.h"
#include "settings/profilecheck.h"
#include "settings/profileedit.h"
#include "common/notices.h"
#include <windows.h>
#include <winsock2.h>
#include <stdio.h>
#include <string.h>
#include <ctype.h>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

// Relative until profileinit has made them full paths.
static char profilefile[MAX_PATH] = ".\\Hostwarden.INI";
// A change of the profile is written into this copy first (see profilebegin).
static char profilecopy[MAX_PATH + 4] = ".\\Hostwarden.INI.new";

void profileinit() {
    char full[MAX_PATH];
    char* name = nullptr;
    DWORD n = GetFullPathNameA(".\\Hostwarden.INI", sizeof full, full, &name);
    if (n == 0 || n >= sizeof full || !name) {
        // No full path (a folder name too long): the current directory is used as it is.
        snprintf(profilefile, sizeof profilefile, ".\\Hostwarden.INI");
        snprintf(profilecopy, sizeof profilecopy, ".\\Hostwarden.INI.new");
        startfolder[0] = 0;
        return;
    }
    snprintf(profilefile, sizeof profilefile, "%s", full);
    snprintf(profilecopy, sizeof profilecopy, "%s.new", full);
    snprintf(startfolder, sizeof startfolder, "%.*s", (int)(name - full), full);
}

const char keyperiod[] = "SOFTWARE\\Hostwarden\\period";
const char keylowhost[] = "SOFTWARE\\Hostwarden\\lowhost";
const char keyhighhost[] = "SOFTWARE\\Hostwarden\\highhost";
const char keylowhost2[] = "SOFTWARE\\Hostwarden\\lowhost2";
const char keyhighhost2[] = "SOFTWARE\\Hostwarden\\highhost2";
const char keylogs[] = "SOFTWARE\\Hostwarden\\logs";
const char keyexport[] = "SOFTWARE\\Hostwarden\\Export";
const char keylookup[] = "SOFTWARE\\Hostwarden\\lookupcompanies";
const char keyreportlow[] = "SOFTWARE\\Hostwarden\\reportlowhost";
const char keyreporthigh[] = "SOFTWARE\\Hostwarden\\reporthighhost";

bool getprofile(const char* key, char* buf) {
    return GetPrivateProfileStringA(progname, key, "", buf, profilebuf, profilefile) > 0;
}

// A change of the profile: the file as it was, the keys written, and how they are written.
// The system rewrites the whole file for every key it writes, so a write cut short
// leaves it empty or cut; the copy (".new" beside it) is what a cut write can damage.
static std::mutex profilemutex;
static bool changefailed;  // nothing will be changed
static bool changedirect;  // no copy could be created: keys go to the file itself
static std::string changebefore;
static std::vector<std::string> changekeys, changevalues;

static bool readwhole(const char* path, std::string* out) {
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    out->clear();
    char buf[16384];
    DWORD n;
    bool ok;
    while ((ok = ReadFile(h, buf, sizeof buf, &n, nullptr) != 0) && n) out->append(buf, n);
    CloseHandle(h);
    return ok;
}

void profilebegin() {
    profilemutex.lock();
    changefailed = changedirect = false;
    changebefore.clear();
    changekeys.clear();
    changevalues.clear();
    DWORD attrs = GetFileAttributesA(profilefile);
    if (attrs != INVALID_FILE_ATTRIBUTES) {
        // A read-only file takes no write, as the system's own write would find.
        if ((attrs & FILE_ATTRIBUTE_READONLY) || !readwhole(profilefile, &changebefore)) {
            changefailed = true;
            return;
        }
    }
    HANDLE h = CreateFileA(profilecopy, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // A folder that takes no new file may still let the file itself be rewritten.
        changedirect = true;
        return;
    }
    DWORD n = 0;
    bool ok = changebefore.empty() ||
              (WriteFile(h, changebefore.data(), (DWORD)changebefore.size(), &n, nullptr) &&
               n == changebefore.size());
    ok = CloseHandle(h) && ok;
    if (!ok) {
        changefailed = true;
        DeleteFileA(profilecopy);
    }
}

void profileput(const char* key, const char* text) {
    if (changefailed) return;
    // Into the copy the keys go all at once, at the end of the change.
    if (changedirect && !WritePrivateProfileStringA(progname, key, text, profilefile)) {
        changefailed = true;
        return;
    }
    changekeys.push_back(key);
    changevalues.push_back(text);
}

static std::string lowered(std::string s) {
    for (char& c : s) c = (char)tolower((unsigned char)c);
    return s;
}

static std::string trimmed(const std::string& s) {
    size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// A file in UTF-16 (which the program never writes, but the system's functions keep):
// every changed key goes into the copy with one rewrite of its section. The system
// rewrites the whole file for each key it is given, which made a save of 512 records
// take a second.
static bool writeutf16changes() {
    std::vector<char> buf(65536);
    DWORD n;
    while ((n = GetPrivateProfileSectionA(progname, buf.data(), (DWORD)buf.size(), profilecopy)) >=
           buf.size() - 2)
        buf.resize(buf.size() * 2);
    std::vector<std::string> lines;
    for (const char* p = buf.data(); p < buf.data() + n && *p; p += strlen(p) + 1) lines.push_back(p);
    std::vector<std::string> keys;  // the changed keys as the system matches them
    for (const std::string& k : changekeys) keys.push_back(lowered(k));
    // For every key, the index of the last value written to it.
    std::vector<size_t> latest(keys.size());
    for (size_t i = 0; i < keys.size(); i++) {
        latest[i] = i;
        for (size_t j = 0; j < i; j++)
            if (keys[j] == keys[i]) latest[j] = i;
    }
    std::vector<bool> placed(keys.size(), false);
    for (std::string& line : lines) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = lowered(trimmed(line.substr(0, eq)));
        for (size_t i = 0; i < keys.size(); i++)
            if (keys[i] == key) {
                size_t v = latest[i];
                line = changekeys[v] + "=" + changevalues[v];
                placed[i] = true;
                break;
            }
    }
    for (size_t i = 0; i < keys.size(); i++) {
        if (placed[i] || latest[i] != i) continue;  // in place, or a later value follows
        bool inplace = false;
        for (size_t j = 0; j < i; j++)
            if (keys[j] == keys[i] && placed[j]) inplace = true;
        if (!inplace) lines.push_back(changekeys[i] + "=" + changevalues[i]);
    }
    std::string section;
    for (const std::string& line : lines) section.append(line).push_back('\0');
    section.push_back('\0');
    return WritePrivateProfileSectionA(progname, section.data(), profilecopy) != 0;
}

// The copy becomes the file as it was with the changed keys set; every other line of
// the user's (comments and blank lines in the section too) stays as it was.
static bool writechanges() {
    if (profileutf16(changebefore)) return writeutf16changes();
    std::string text = profileedit(changebefore, progname, changekeys, changevalues);
    HANDLE h = CreateFileA(profilecopy, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    bool ok = WriteFile(h, text.data(), (DWORD)text.size(), &n, nullptr) && n == text.size();
    return CloseHandle(h) && ok;
}

std::atomic<bool> profilefailuretold(false);

bool profileend() {
    bool ok = !changefailed;
    if (ok && !changedirect && !changekeys.empty()) {  // no key, no change
        std::string now;
        ok = writechanges() && readwhole(profilecopy, &now) &&
             profilecomplete(changebefore, now, progname, changekeys, changevalues) &&
             MoveFileExA(profilecopy, profilefile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    if (!changedirect) DeleteFileA(profilecopy);
    profilemutex.unlock();
    // A save that cannot be made is told, once a run: the program goes on, and a
    // settings file that keeps refusing would otherwise lose every later save unseen.
    if (!ok && !profilefailuretold.exchange(true)) msgbox(captionfailure, "Cannot save the profile <%s>", profilefile);
    return ok;
}

bool putprofile(const char* key, const char* text) {
    profilebegin();
    profileput(key, text);
    return profileend();
}

bool readaddresskey(const char* key, Addr4* addr) {
    char buf[profilebuf];
    if (!getprofile(key, buf)) return false;
    int n[4];
    if (!parsefournumbers(buf, n)) {
        msgbox(captionfailure, "Invalid default value <%s> for Registry Key <%s>", buf, key);
        return false;
    }
    char dotted[64];
    snprintf(dotted, sizeof dotted, "%d.%d.%d.%d", n[0], n[1], n[2], n[3]);
    unsigned long a = inet_addr(dotted);
    if (a == INADDR_NONE) return false;
    memcpy(addr->o, &a, 4);
    return true;
}

bool putaddresskey(const char* key, const Addr4& addr) {
    char text[32];
    snprintf(text, sizeof text, "%d %d %d %d", addr.o[0], addr.o[1], addr.o[2], addr.o[3]);
    return putprofile(key, text);
}
