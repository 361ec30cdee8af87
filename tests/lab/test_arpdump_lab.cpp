// The ARP table dump against a real kernel table: run by tests/lab/lab_reports.sh inside
// the lab's monitoring namespace, with the lab hosts in HW_LAB_HOSTS
// ("IP=MAC IP=MAC ..."). Skipped elsewhere.
#include "fixture.h"
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <stdlib.h>
#include <sstream>
#include "reports/reportdlg.h"
#include "reports/arpdump.h"

namespace {

struct LabHost {
    std::string ip, mac;
};

std::vector<LabHost> labhosts() {
    std::vector<LabHost> v;
    const char* env = getenv("HW_LAB_HOSTS");
    if (!env) return v;
    std::istringstream in(env);
    std::string item;
    while (in >> item) {
        size_t eq = item.find('=');
        if (eq != std::string::npos) v.push_back({item.substr(0, eq), item.substr(eq + 1)});
    }
    return v;
}

// The table's rows as the dump formats them, in the order the system returns them.
std::vector<std::string> systemrows() {
    std::vector<std::string> v;
    ULONG size = 0;
    if (GetIpNetTable(nullptr, &size, TRUE) != ERROR_INSUFFICIENT_BUFFER) return v;
    std::vector<BYTE> buf(size + 4096);
    size = (ULONG)buf.size();
    PMIB_IPNETTABLE t = (PMIB_IPNETTABLE)buf.data();
    if (GetIpNetTable(t, &size, TRUE) != NO_ERROR) return v;
    for (DWORD i = 0; i < t->dwNumEntries; i++) {
        const BYTE* a = (const BYTE*)&t->table[i].dwAddr;
        const BYTE* m = t->table[i].bPhysAddr;
        char line[64];
        snprintf(line, sizeof line, "%d.%d.%d.%d : %02x:%02x:%02x:%02x:%02x:%02x", a[0], a[1], a[2],
                 a[3], m[0], m[1], m[2], m[3], m[4], m[5]);
        v.push_back(line);
    }
    return v;
}

bool contains(const std::vector<std::string>& v, const std::string& s) {
    for (const std::string& x : v)
        if (x == s) return true;
    return false;
}

// One empty datagram makes the kernel resolve the host.
void nudge(const std::string& ip) {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) return;
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    to.sin_addr.s_addr = inet_addr(ip.c_str());
    sendto(s, "", 0, 0, (sockaddr*)&to, sizeof to);
    closesocket(s);
}

class ArpDumpLab : public WithWindow {};

TEST_F(ArpDumpLab, KernelTableInTheSystemsOrderWithTheLabHosts) {
    std::vector<LabHost> hosts = labhosts();
    if (hosts.empty()) GTEST_SKIP() << "outside the lab";
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 1), &wsa);
    // Before any traffic: whatever the system lists (Wine shows a few multicast rows
    // even then), and no lab host.
    dumparptable();
    std::vector<std::string> before = lines();
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(before[0], "Current ARP table:");
    for (const LabHost& h : hosts) EXPECT_FALSE(contains(before, h.ip + " : " + h.mac));
    clearoutput();

    std::vector<std::string> want;
    for (const LabHost& h : hosts) want.push_back(h.ip + " : " + h.mac);
    bool all = false;
    for (int i = 0; i < 50 && !all; i++) {
        for (const LabHost& h : hosts) nudge(h.ip);
        Sleep(100);
        std::vector<std::string> rows = systemrows();
        all = true;
        for (const std::string& w : want) all = all && contains(rows, w);
    }
    ASSERT_TRUE(all) << "the lab hosts never showed in the system's table";

    std::vector<std::string> rows1 = systemrows();
    dumparptable();
    std::vector<std::string> rows2 = systemrows();
    std::vector<std::string> got = lines();
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0], "Current ARP table:");
    std::vector<std::string> dumped(got.begin() + 1, got.end());
    EXPECT_TRUE(dumped == rows1 || dumped == rows2) << hwtest::viewlines().size();
    for (const std::string& w : want) EXPECT_TRUE(contains(dumped, w)) << w;
    for (const std::string& l : got) printf("%s\n", l.c_str());
    WSACleanup();
}

}  // namespace
