// The neighbour-table probe, for platforms whose SendARP is not supported (Wine).
//
// Wine's GetIpNetTable2 reads /proc/net/arp: an entry shows only complete (with a MAC)
// or not, whatever the kernel's state, and an entry cannot be deleted from Wine. A
// complete entry may be stale, with the MAC of a host that has left or changed its
// MAC, until the kernel has re-probed it; so:
//   - no complete entry: nudge (one empty UDP datagram to the discard port; the kernel
//     broadcasts its solicitations) and wait until the entry completes or the
//     broadcasts are spent (limit `resolve`);
//   - a complete entry: nudge and watch it for the whole re-probe window (limit
//     `reprobe`: the kernel's delay, then its unicast probes). Still complete at the
//     end: answered with the MAC it then shows. Turned incomplete (the old MAC did not
//     answer): nudge again, so that a broadcast asks, and wait as for an absent entry;
//     a host with a new MAC answers here, in the same probe.
// A complete entry the kernel holds reachable is trusted as it is, as SendARP trusts
// its cache; it costs the re-probe window all the same, since it looks like a stale one.
#include "monitor/neighbour.h"
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <mutex>
#include <vector>

// The limits follow the kernel's timers of the interface, read through Z:. In the lab
// (retrans 200 ms, delay 1 s, 3 unicast and 3 broadcast solicitations) they come to
// 1.9 s and 0.9 s; with Linux defaults (retrans 1 s, delay 5 s, 3 and 3) to 8.3 s and
// 3.3 s. Measured in the lab, one probe each: a live host without an entry 10-40 ms;
// a silent address 0.93 s; a live host with a complete entry 1.95 s (the whole
// window); a host silent since its last answer 1.56 s; a host with a new MAC 1.31 s.
// The kernel turned a stale entry of a silent host incomplete 1.6 s after the nudge
// (delay 1 s, then 3 x 200 ms); the margin covers the timer slack beyond that.
ProbeLimits probelimits(const NeighTimers& t) {
    ProbeLimits l;
    l.reprobe = t.delayfirst + (t.ucast + t.app + t.mcastreprobe) * t.retrans + probemargin;
    l.resolve = (t.mcast + t.app) * t.retrans + probemargin;
    return l;
}

// One number from a kernel setting file, or fallback.
static int readsetting(const char* dir, const char* name, int fallback) {
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s", dir, name);
    FILE* f = fopen(path, "r");
    if (!f) return fallback;
    int v = fallback;
    if (fscanf(f, "%d", &v) != 1 || v < 0 || v > 3600000) v = fallback;
    fclose(f);
    return v;
}

// The Linux name of an interface, found through Z: (the host's root under Wine).
static bool interfacename(unsigned ifindex, char* name, size_t n) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("Z:\\sys\\class\\net\\*", &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    do {
        if (fd.cFileName[0] == '.') continue;
        char dir[MAX_PATH];
        snprintf(dir, sizeof dir, "Z:\\sys\\class\\net\\%s", fd.cFileName);
        if ((unsigned)readsetting(dir, "ifindex", -1) == ifindex) {
            snprintf(name, n, "%s", fd.cFileName);
            found = true;
        }
    } while (!found && FindNextFileA(h, &fd));
    FindClose(h);
    return found;
}

static void readtimers(unsigned ifindex, NeighTimers* t) {
    // Linux defaults, for when the settings cannot be read.
    NeighTimers d = {1000, 5000, 3, 3, 0, 0};
    char name[64], dir[MAX_PATH];
    if (interfacename(ifindex, name, sizeof name))
        snprintf(dir, sizeof dir, "Z:\\proc\\sys\\net\\ipv4\\neigh\\%s", name);
    else
        snprintf(dir, sizeof dir, "Z:\\proc\\sys\\net\\ipv4\\neigh\\default");
    t->retrans = readsetting(dir, "retrans_time_ms", d.retrans);
    t->delayfirst = readsetting(dir, "delay_first_probe_time", d.delayfirst / 1000) * 1000;
    t->ucast = readsetting(dir, "ucast_solicit", d.ucast);
    t->mcast = readsetting(dir, "mcast_solicit", d.mcast);
    t->app = readsetting(dir, "app_solicit", d.app);
    t->mcastreprobe = readsetting(dir, "mcast_resolicit", d.mcastreprobe);
}

// The local subnets and their interfaces' timers, read again when older than this, so
// that a sweep of many addresses reads them once.
const DWORD routecachems = 5000;
struct Subnet {
    DWORD addr, mask;
    unsigned ifindex;
    NeighTimers timers;
};
static std::mutex routemutex;
static std::vector<Subnet> subnets;
static DWORD subnetsread;
static bool subnetsvalid = false;

static void readsubnets() {
    subnets.clear();
    ULONG size = 0;
    if (GetIpAddrTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER || !size) return;
    MIB_IPADDRTABLE* table = (MIB_IPADDRTABLE*)malloc(size);
    if (!table) return;
    if (GetIpAddrTable(table, &size, FALSE) == NO_ERROR) {
        for (DWORD i = 0; i < table->dwNumEntries; i++) {
            const MIB_IPADDRROW& row = table->table[i];
            if (!row.dwMask || (row.dwAddr & 0xff) == 127) continue;
            Subnet n = {row.dwAddr, row.dwMask, (unsigned)row.dwIndex, {}};
            readtimers(n.ifindex, &n.timers);
            subnets.push_back(n);
        }
    }
    free(table);
}

bool neighbourroute(const Addr4& addr, unsigned* ifindex, NeighTimers* t) {
    std::lock_guard<std::mutex> g(routemutex);
    if (!subnetsvalid || GetTickCount() - subnetsread > routecachems) {
        readsubnets();
        subnetsread = GetTickCount();
        subnetsvalid = true;
    }
    DWORD dest;
    memcpy(&dest, addr.o, 4);
    for (const Subnet& n : subnets) {
        // On the subnet, and neither the interface's own nor the broadcast address.
        if ((dest & n.mask) == (n.addr & n.mask) && dest != n.addr &&
            (dest | n.mask) != 0xffffffffu) {
            *ifindex = n.ifindex;
            *t = n.timers;
            return true;
        }
    }
    return false;
}

// Wine shows a complete entry as reachable whatever the kernel's state, and an
// incomplete or failed one as stale, a failed one with the MAC it had before.
static bool completerow(const MIB_IPNET_ROW2& row) {
    static const unsigned char zero[6] = {0};
    return row.PhysicalAddressLength == 6 && memcmp(row.PhysicalAddress, zero, 6) != 0 &&
           (row.State == NlnsReachable || row.State == NlnsPermanent);
}

bool neighbourcomplete(NeighEntry* out, int max, int* count) {
    MIB_IPNET_TABLE2* table = nullptr;
    if (GetIpNetTable2(AF_INET, &table) != NO_ERROR || !table) return false;
    for (ULONG i = 0; i < table->NumEntries && *count < max; i++) {
        const MIB_IPNET_ROW2& row = table->Table[i];
        if (!completerow(row)) continue;
        NeighEntry& e = out[(*count)++];
        memcpy(e.addr.o, &row.Address.Ipv4.sin_addr, 4);
        e.ifindex = row.InterfaceIndex;
        memcpy(e.mac, row.PhysicalAddress, 6);
    }
    FreeMibTable(table);
    return true;
}

// The entry for addr: true when complete, with its MAC.
static bool lookup(const Addr4& addr, unsigned ifindex, unsigned char mac[6]) {
    MIB_IPNET_TABLE2* table = nullptr;
    if (GetIpNetTable2(AF_INET, &table) != NO_ERROR || !table) return false;
    bool complete = false;
    for (ULONG i = 0; i < table->NumEntries; i++) {
        const MIB_IPNET_ROW2& row = table->Table[i];
        if (row.InterfaceIndex != ifindex ||
            memcmp(&row.Address.Ipv4.sin_addr, addr.o, 4) != 0)
            continue;
        if (completerow(row)) {
            memcpy(mac, row.PhysicalAddress, 6);
            complete = true;
        }
        break;
    }
    FreeMibTable(table);
    return complete;
}

static void startwinsock() {
    static bool started = false;
    if (!started) {
        WSADATA wsa;
        started = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    }
}

// One empty datagram to the discard port: queued by the kernel until the address is
// resolved, it makes the kernel solicit.
void nudgewith(Nudger* n, const Addr4& addr) {
    if (n->sock && n->sent >= nudgespersocket) nudgerclose(n);
    if (!n->sock) {
        startwinsock();
        SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        if (s == INVALID_SOCKET) return;
        n->sock = (unsigned long long)s;
        n->sent = 0;
    }
    sockaddr_in to;
    memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    memcpy(&to.sin_addr, addr.o, 4);
    sendto((SOCKET)n->sock, "", 0, 0, (const sockaddr*)&to, sizeof to);
    n->sent++;
}

void nudgerclose(Nudger* n) {
    if (n->sock) closesocket((SOCKET)n->sock);
    n->sock = 0;
    n->sent = 0;
}

static void nudge(const Addr4& addr) {
    Nudger n = {0, 0};
    nudgewith(&n, addr);
    nudgerclose(&n);
}

enum Watch { stayedcomplete, turnedincomplete, completed, timedout };

// Watches the entry for up to ms: until it leaves the state `complete`.
static Watch watch(const Addr4& addr, unsigned ifindex, bool complete, int ms,
                   unsigned char mac[6]) {
    DWORD start = GetTickCount();
    for (;;) {
        // The verdict at the end rests on a look begun after it: a look slowed by a busy
        // machine may show the table as it was well before.
        bool over = (int)(GetTickCount() - start) >= ms;
        bool now = lookup(addr, ifindex, mac);
        if (now != complete) return now ? completed : turnedincomplete;
        if (over) return complete ? stayedcomplete : timedout;
        Sleep(probepoll);
    }
}

bool neighbourprobe(const Addr4& addr, unsigned char mac[6]) {
    unsigned ifindex;
    NeighTimers t;
    if (!neighbourroute(addr, &ifindex, &t)) return false;
    ProbeLimits l = probelimits(t);
    unsigned char seen[6];
    if (lookup(addr, ifindex, seen)) {
        nudge(addr);
        if (watch(addr, ifindex, true, l.reprobe, seen) == stayedcomplete) {
            memcpy(mac, seen, 6);
            return true;
        }
    }
    nudge(addr);
    if (watch(addr, ifindex, false, l.resolve, seen) != completed) return false;
    memcpy(mac, seen, 6);
    return true;
}
