// The names of answering hosts: one reverse lookup, and the cache of the names found.
#pragma once
#include <stddef.h>
#include <string>
#include "common/state.h"

// One reverse lookup of addr: true with its name, false when none is found. Safe on many
// threads at once (getnameinfo; gethostbyaddr's answer is per-thread data on Windows).
bool resolvename(const Addr4& addr, char* name, size_t size);
// Test seam: the lookup asked (resolvename by default).
typedef bool (*reverselookupfn)(const Addr4& addr, char* name, size_t size);
extern reverselookupfn reverselookup;
const size_t namemax = 1025;  // NI_MAXHOST: the longest name a lookup gives

// The cache holds found names only: a failed lookup is tried again at the next patrol.
// Any thread may call these.
bool cachedname(const Addr4& addr, std::string* name);
void cachename(const Addr4& addr, const char* name);
// Another machine answers at addr: its name must be looked up again.
void forgetname(const Addr4& addr);

// The dotted text of addr, the name shown when none is found.
std::string dottedname(const Addr4& addr);
