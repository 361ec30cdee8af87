// Profile access through the system's profile functions, and address keys.
#include "settings/profile.h"
#include "settings/parse.h"
#include "settings/profilecheck.h"
#include "app/notices.h"
#include <windows.h>
#include <winsock2.h>
#include <stdio.h>
#include <mutex>
#include <string>
#include <vector>

static const char profilefile[] = ".\\Hostwarden.INI";

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
static const char profilecopy[] = ".\\Hostwarden.INI.new";
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
    if (!WritePrivateProfileStringA(progname, key, text, changedirect ? profilefile : profilecopy)) {
        changefailed = true;
        return;
    }
    changekeys.push_back(key);
    changevalues.push_back(text);
}

bool profileend() {
    bool ok = !changefailed;
    if (ok && !changedirect) {
        std::string now;
        ok = readwhole(profilecopy, &now) &&
             profilecomplete(changebefore, now, progname, changekeys, changevalues) &&
             MoveFileExA(profilecopy, profilefile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    if (!changedirect) DeleteFileA(profilecopy);
    profilemutex.unlock();
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
