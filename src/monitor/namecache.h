// Test seam of the name cache: the reverse lookup it asks (gethostbyaddr by default).
#pragma once
#include <winsock2.h>

typedef hostent*(WSAAPI* reverselookupfn)(const char* addr, int len, int type);
extern reverselookupfn reverselookup;
