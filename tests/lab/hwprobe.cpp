// Probes addresses through the program's probe layer and prints each answer, for the
// lab scripts:
//   hwprobe ADDR...          one line per address: ADDR MAC|none MILLISECONDS
//   hwprobe limits ADDR      the route, the kernel timers and the limits for ADDR
//   hwprobe table            the neighbour table as the system shows it
//   hwprobe save N           the time of one saverecords of N records
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "monitor/probe.h"
#include "monitor/neighbour.h"
#include "monitor/hostlist.h"
#include "monitor/records.h"

static bool parse(const char* text, Addr4* a) {
    unsigned v[4];
    char rest;
    if (sscanf(text, "%u.%u.%u.%u%c", &v[0], &v[1], &v[2], &v[3], &rest) != 4) return false;
    for (int i = 0; i < 4; i++) {
        if (v[i] > 255) return false;
        a->o[i] = (unsigned char)v[i];
    }
    return true;
}

int main(int argc, char** argv) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 1), &wsa);
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 3 && !strcmp(argv[1], "limits")) {
        Addr4 a;
        if (!parse(argv[2], &a)) return 2;
        unsigned ifindex = 0;
        NeighTimers t;
        if (!neighbourroute(a, &ifindex, &t)) {
            printf("offlink\n");
            return 0;
        }
        ProbeLimits l = probelimits(t);
        printf("ifindex %u retrans %d delayfirst %d ucast %d mcast %d app %d mcastreprobe %d "
               "reprobe %d resolve %d\n",
               ifindex, t.retrans, t.delayfirst, t.ucast, t.mcast, t.app, t.mcastreprobe,
               l.reprobe, l.resolve);
        return 0;
    }
    if (argc == 2 && !strcmp(argv[1], "table")) {
        MIB_IPNET_TABLE2* t = nullptr;
        if (GetIpNetTable2(AF_INET, &t) != NO_ERROR) return 1;
        for (ULONG i = 0; i < t->NumEntries; i++) {
            const MIB_IPNET_ROW2& r = t->Table[i];
            const unsigned char* a = (const unsigned char*)&r.Address.Ipv4.sin_addr;
            const unsigned char* m = r.PhysicalAddress;
            printf("%d.%d.%d.%d if %lu state %d len %lu %02x:%02x:%02x:%02x:%02x:%02x\n", a[0],
                   a[1], a[2], a[3], (unsigned long)r.InterfaceIndex, (int)r.State,
                   (unsigned long)r.PhysicalAddressLength, m[0], m[1], m[2], m[3], m[4], m[5]);
        }
        FreeMibTable(t);
        return 0;
    }
    if (argc == 3 && !strcmp(argv[1], "save")) {
        HostRecord* last = nullptr;
        for (int i = 0, n = atoi(argv[2]); i < n; i++) {
            last = (HostRecord*)listappendafter(hostlisthead(), last, sizeof(HostRecord));
            last->addr = {{10, 77, (unsigned char)(1 + i / 256), (unsigned char)(i % 256)}};
            last->replies = i;
            last->firstseen = 1700000000 + i;
        }
        DWORD start = GetTickCount();
        saverecords();
        printf("saverecords %s %lu ms\n", argv[2], (unsigned long)(GetTickCount() - start));
        return 0;
    }
    int bad = 0;
    probeahead = false;  // one probe at a time, each timed on its own
    probebegin();
    for (int i = 1; i < argc; i++) {
        Addr4 a;
        if (!parse(argv[i], &a)) {
            bad = 2;
            continue;
        }
        probesubmit(a);
        unsigned char mac[6];
        DWORD start = GetTickCount();
        bool answered = probetake(a, mac, nullptr) == probeanswered;
        DWORD ms = GetTickCount() - start;
        if (answered)
            printf("%s %02x:%02x:%02x:%02x:%02x:%02x %lu\n", argv[i], mac[0], mac[1], mac[2],
                   mac[3], mac[4], mac[5], (unsigned long)ms);
        else
            printf("%s none %lu\n", argv[i], (unsigned long)ms);
    }
    probeend();
    WSACleanup();
    return bad;
}
