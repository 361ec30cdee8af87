// Profile access through the system's profile functions, and address keys.
#include "settings/profile.h"
#include "settings/parse.h"
#include "app/notices.h"
#include <windows.h>
#include <winsock2.h>
#include <stdio.h>

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

bool putprofile(const char* key, const char* text) {
    return WritePrivateProfileStringA(progname, key, text, profilefile) != 0;
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
