#include "reports/pathrules.h"
#include <string.h>

static const char* lastseparator(const char* path) {
    const char* cut = nullptr;
    for (const char* p = path; *p; p++)
        if (*p == '\\' || *p == '/') cut = p;
    return cut;
}

void splitpath(const char* full, char* name, char* dir) {
    const char* cut = lastseparator(full);
    const char* base = cut ? cut + 1 : full;
    size_t dirlen = (size_t)(base - full);
    size_t namelen = strlen(base);
    if (dirlen >= (size_t)pathbuf) dirlen = pathbuf - 1;
    if (namelen >= (size_t)pathbuf) namelen = pathbuf - 1;
    memcpy(dir, full, dirlen);
    dir[dirlen] = 0;
    memcpy(name, base, namelen);
    name[namelen] = 0;
}

bool lacksextension(const char* path) {
    const char* cut = lastseparator(path);
    return !strchr(cut ? cut + 1 : path, '.');
}

bool appendextension(char* path, const char* ext) {
    size_t len = strlen(path);
    if (len + 1 + strlen(ext) >= (size_t)pathbuf) return false;
    path[len] = '.';
    strcpy(path + len + 1, ext);
    return true;
}
