// A model of SendARP's timing on Windows, for the `aheadarp` seam. On Windows one call
// blocks until the address answers or the stack gives up: IPv4 neighbour discovery
// there follows RFC 4861, three solicitations RetransmitTime apart (1 s by default), so
// a silent address blocks for 3 x RetransmitTime; a live one answers within 1-5 ms; an
// address that answered within the last 30 s (the reachable time is 15-45 s) is
// answered from the neighbour cache at once. The model counts the calls in flight.
#pragma once
#include <windows.h>
#include <atomic>
#include <map>
#include <mutex>
#include "common/state.h"

namespace winmodel {

struct Model {
    int retransmitms = 1000;
    std::map<unsigned, unsigned char> live;  // address (as in Addr4) -> last MAC byte
    std::mutex m;
    std::map<unsigned, DWORD> cache;         // address -> tick of its last answer
    std::atomic<int> inflight{0}, peak{0}, calls{0};
};

// The model that `call` serves; set it before the first call.
extern Model* model;

// Makes the address answer (with MAC 02:77:o2:o3:00:mac).
void addlive(const Addr4& a, unsigned char mac);
// SendARP as the model times it: NO_ERROR with the MAC, or ERROR_BAD_NET_NAME.
unsigned long call(const Addr4& a, unsigned char mac[6]);
// The same as a one-at-a-time probe (probehook).
bool probe(const Addr4& a, unsigned char mac[6]);

}  // namespace winmodel
