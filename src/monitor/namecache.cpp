// Reverse name lookups for the host line, with a cache of the names found.
#include "monitor/namecache.h"
#include "monitor/hostlist.h"
#include <winsock2.h>
#include <windows.h>
#include <stdlib.h>
#include <string.h>

// Found names only: a failed lookup is tried again at the next patrol.
struct NameEntry {
    NameEntry* next;
    Addr4 addr;
    char* name;
};
static NameEntry* namecache = nullptr;

reverselookupfn reverselookup = gethostbyaddr;

const char* hostname(const Addr4& addr) {
    for (NameEntry* e = namecache; e; e = e->next)
        if (addrequal(e->addr, addr)) return e->name;
    in_addr in;
    memcpy(&in, addr.o, 4);
    hostent* h = reverselookup((const char*)addr.o, 4, AF_INET);
    if (!h || !h->h_name) return inet_ntoa(in);
    char* copy = _strdup(h->h_name);
    if (!copy) return inet_ntoa(in);
    NameEntry* e = (NameEntry*)listappend((void**)&namecache, sizeof(NameEntry));
    if (!e) {
        free(copy);
        return inet_ntoa(in);
    }
    e->addr = addr;
    e->name = copy;
    return e->name;
}
