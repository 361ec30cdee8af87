// A model of SendARP's timing on Windows, for the `aheadarp` seam. On Windows one call
// blocks until the address answers or the stack gives up: IPv4 neighbour discovery
// there follows RFC 4861, three solicitations RetransmitTime apart (1 s by default), so
// a silent address blocks for 3 x RetransmitTime; a live one answers within 1-5 ms; an
// address that answered within the last 30 s (the reachable time is 15-45 s) is
// answered from the neighbour cache at once. The model counts the calls in flight.
// Reverse names, for the `reverselookup` seam: getnameinfo asks DNS, and when DNS has no
// name, NetBIOS asks the host itself, which phones, printers and most IoT devices leave
// unanswered: a nameless host costs the NetBIOS wait (namelessms, 2 s in the bench).
#pragma once
#include <windows.h>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include "common/state.h"

namespace winmodel {

struct Model {
    int retransmitms = 1000;
    std::map<unsigned, unsigned char> live;  // address (as in Addr4) -> last MAC byte
    std::mutex m;
    std::map<unsigned, DWORD> cache;         // address -> tick of its last answer
    std::atomic<int> inflight{0}, peak{0}, calls{0};
    std::map<unsigned, std::string> names;  // address -> its DNS name; absent: nameless
    int namedms = 0;                        // a DNS answer takes up to this, by address
    int namelessms = 0;                     // the NetBIOS wait of a nameless host
    std::atomic<int> lookupsinflight{0}, lookuppeak{0}, lookups{0};
};

// The model that `call` serves; set it before the first call.
extern Model* model;

// Makes the address answer (with MAC 02:77:o2:o3:00:mac).
void addlive(const Addr4& a, unsigned char mac);
// SendARP as the model times it: NO_ERROR with the MAC, or ERROR_BAD_NET_NAME.
unsigned long call(const Addr4& a, unsigned char mac[6]);
// The same as a one-at-a-time probe (probehook).
bool probe(const Addr4& a, unsigned char mac[6]);
// Gives the address a DNS name.
void addname(const Addr4& a, const std::string& name);
// A reverse lookup as the model times it (reverselookup). A named host's answer takes
// (255 - last octet) % (namedms + 1) ms, so that later addresses are answered first.
bool lookup(const Addr4& a, char* name, size_t size);

}  // namespace winmodel
