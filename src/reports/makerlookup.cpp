#include "reports/makerlookup.h"
#include "reports/ouitable.h"
#include "settings/profile.h"
#include <windows.h>
#include <mutex>
#include <string.h>

static std::mutex tablelock;
static OuiRecord* table = nullptr;
static std::string tablepath;
static FILETIME tabletime;

std::string makerof(const unsigned char mac[6]) {
    char path[profilebuf];
    if (!getprofile(keylookup, path)) return "";
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &a)) return "";
    std::lock_guard<std::mutex> g(tablelock);
    if (!table || tablepath != path || CompareFileTime(&a.ftLastWriteTime, &tabletime) != 0) {
        freeouitable(&table);
        tablepath = path;
        tabletime = a.ftLastWriteTime;
        FILE* f = fopen(path, "rt");
        if (!f) return "";
        bool ok = true;
        readouitable(f, &table, &ok);
        fclose(f);
        if (!ok) freeouitable(&table);
    }
    if (!table) return "";
    const char* company = findcompany(table, mac);
    return strcmp(company, "unknown") ? company : "";
}
