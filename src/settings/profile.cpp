// The profile's path, its reads, and the address keys.
#include "settings/profile.h"
#include "settings/parse.h"
#include "settings/profilecoding.h"
#include "settings/profileedit.h"
#include "settings/profilefile.h"
#include "settings/profilewriter.h"
#include "common/notices.h"
#include <winsock2.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>

void profileinit() {
    char full[MAX_PATH];
    char* name = nullptr;
    DWORD n = GetFullPathNameA(".\\Hostwarden.INI", sizeof full, full, &name);
    profilestore().reset([&] {
        if (n == 0 || n >= sizeof full || !name) {
            // No full path (a folder name too long): the current directory is used as it is.
            snprintf(profilefile, sizeof profilefile, ".\\Hostwarden.INI");
            startfolder[0] = 0;
        } else {
            snprintf(profilefile, sizeof profilefile, "%s", full);
            snprintf(startfolder, sizeof startfolder, "%.*s", (int)(name - full), full);
        }
    });
    profilefailuretold = false;
    profileclosing = false;
    profilesweep();
    std::string bytes;
    if (!readwhole(profilefile, &bytes)) return;
    ProfileCoding coding = profilecoding(bytes);
    if (coding == codingutf8mark) {
        // Windows' profile functions would not see the section behind the mark: it is
        // dropped, and until that has landed reads get the section as the program means it.
        profilestore().rewrite(sectionvalues(profiledecode(bytes, coding), progname));
        startprofilewriter();
    } else if (coding == codingutf16be) {
        profilefailuretold = true;  // told here; the refused saves are not told again
        msgbox(captionfailure,
               "The profile <%s> is in UTF-16 big-endian, which Windows cannot read: Hostwarden reads "
               "nothing from it and leaves it as it is. Save it as ANSI or as UTF-16 little-endian "
               "(Unicode) to use it.",
               profilefile);
        profilestore().rewrite({});  // reads get nothing; the save is refused
        startprofilewriter();
    }
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
    std::string pending;
    bool fromfile = true;
    if (profilestore().lookup(key, &pending, &fromfile)) {
        snprintf(buf, profilebuf, "%s", pending.c_str());
        return buf[0] != 0;
    }
    buf[0] = 0;
    if (!fromfile) return false;
    std::lock_guard<std::recursive_mutex> g(profilelock());
    return GetPrivateProfileStringA(progname, key, "", buf, profilebuf, profilefile) > 0;
}

bool putprofile(const char* key, const char* text) {
    ProfileChange change;
    change.put(key, text);
    return change.end();
}

std::string sectionkey(const char* section, const char* key) {
    return std::string(section) + "\n" + key;
}

std::vector<std::pair<std::string, std::string>> profilesection(const char* section) {
    std::string bytes;
    {
        std::lock_guard<std::recursive_mutex> g(profilelock());
        if (!readwhole(profilefile, &bytes)) return {};
    }
    ProfileCoding coding = profilecoding(bytes);
    if (coding == codingutf16be) return {};
    return sectionvalues(profiledecode(bytes, coding), section);
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
    ProfileChange change;
    change.putaddress(key, addr);
    return change.end();
}
