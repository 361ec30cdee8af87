// The names of answering hosts, by reverse lookup, with a cache of the names found.
#pragma once
#include <winsock2.h>
#include "common/state.h"

// The name of addr; its dotted form when the lookup finds none (tried again next time).
const char* hostname(const Addr4& addr);

// Test seam: the reverse lookup asked (gethostbyaddr by default).
typedef hostent*(WSAAPI* reverselookupfn)(const char* addr, int len, int type);
extern reverselookupfn reverselookup;
