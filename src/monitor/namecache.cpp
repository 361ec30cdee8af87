// Reverse name lookups and the cache of the names found.
#include "monitor/namecache.h"
#include "monitor/hostlist.h"
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <mutex>

// Entries stay for the program's lifetime; a forgotten one keeps its address and loses
// its name, and takes the next name found for it.
struct NameEntry {
    NameEntry* next;
    Addr4 addr;
    char* name;  // null once forgotten
};
static NameEntry* namecache = nullptr;
static std::mutex& cachemutex = *new std::mutex;  // never destroyed, as the lookups that use it

// On Windows, getnameinfo asks DNS and, when DNS has no name, NetBIOS (a node-status
// request to the host, which phones and printers leave unanswered for seconds). Under
// Wine it is the Linux resolver's getnameinfo, on the calling thread without a lock.
bool resolvename(const Addr4& addr, char* name, size_t size) {
    sockaddr_in sa;
    memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    memcpy(&sa.sin_addr, addr.o, 4);
    return getnameinfo((const sockaddr*)&sa, sizeof sa, name, (DWORD)size, nullptr, 0,
                       NI_NAMEREQD) == 0 &&
           name[0];
}

reverselookupfn reverselookup = resolvename;

static NameEntry* findentry(const Addr4& addr) {
    for (NameEntry* e = namecache; e; e = e->next)
        if (addrequal(e->addr, addr)) return e;
    return nullptr;
}

bool cachedname(const Addr4& addr, std::string* name) {
    std::lock_guard<std::mutex> g(cachemutex);
    NameEntry* e = findentry(addr);
    if (!e || !e->name) return false;
    *name = e->name;
    return true;
}

void cachename(const Addr4& addr, const char* name) {
    char* copy = _strdup(name);
    if (!copy) return;  // not cached: looked up again next time
    std::lock_guard<std::mutex> g(cachemutex);
    NameEntry* e = findentry(addr);
    if (!e) e = (NameEntry*)listappend((void**)&namecache, sizeof(NameEntry));
    if (!e) {
        free(copy);
        return;
    }
    e->addr = addr;
    free(e->name);
    e->name = copy;
}

void forgetname(const Addr4& addr) {
    std::lock_guard<std::mutex> g(cachemutex);
    NameEntry* e = findentry(addr);
    if (!e) return;
    free(e->name);
    e->name = nullptr;
}

std::string dottedname(const Addr4& addr) {
    char text[16];
    snprintf(text, sizeof text, "%d.%d.%d.%d", addr.o[0], addr.o[1], addr.o[2], addr.o[3]);
    return text;
}
