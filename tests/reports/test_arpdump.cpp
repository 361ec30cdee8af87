// The ARP table dump, against the system's table and against a stand-in.
#include "fixture.h"
#include <windows.h>
#include <iphlpapi.h>
#include <stdlib.h>
#include "reports/reportdlg.h"
#include "reports/arpdump.h"

namespace {

struct Row {
    unsigned char addr[4];
    unsigned char mac[6];
};
std::vector<Row> rows;
DWORD failwith;    // returned instead of a table when not 0
int calls;
BOOL lastorder;

DWORD WINAPI faketable(PMIB_IPNETTABLE table, PULONG size, BOOL order) {
    calls++;
    lastorder = order;
    if (failwith) return failwith;
    ULONG need = (ULONG)(offsetof(MIB_IPNETTABLE, table) + rows.size() * sizeof(MIB_IPNETROW));
    if (*size < need) {
        *size = need;
        return ERROR_INSUFFICIENT_BUFFER;
    }
    table->dwNumEntries = (DWORD)rows.size();
    for (size_t i = 0; i < rows.size(); i++) {
        MIB_IPNETROW& r = table->table[i];
        memset(&r, 0, sizeof r);
        memcpy(&r.dwAddr, rows[i].addr, 4);
        memcpy(r.bPhysAddr, rows[i].mac, 6);
        r.bPhysAddr[6] = 0x77;  // beyond the six bytes shown
        r.dwPhysAddrLen = i == 0 ? 0 : 6;
        r.dwType = 3;
    }
    return NO_ERROR;
}

void* failingalloc(size_t) { return nullptr; }

class ArpDump : public WithWindow {
protected:
    void SetUp() override {
        WithWindow::SetUp();
        rows.clear();
        failwith = 0;
        calls = 0;
    }
    void TearDown() override {
        readarptable = GetIpNetTable;
        arpalloc = malloc;
        WithWindow::TearDown();
    }
};

// The system's own table, whatever it holds here (Wine lists a few multicast entries
// even in a namespace with only loopback), row for row as the system returns it.
TEST_F(ArpDump, SystemTableAsTheSystemReturnsIt) {
    ULONG size = 0;
    std::vector<std::string> expect = {"Current ARP table:"};
    if (GetIpNetTable(nullptr, &size, TRUE) == ERROR_INSUFFICIENT_BUFFER) {
        std::vector<BYTE> buf(size + 4096);
        size = (ULONG)buf.size();
        PMIB_IPNETTABLE t = (PMIB_IPNETTABLE)buf.data();
        ASSERT_EQ(GetIpNetTable(t, &size, TRUE), (DWORD)NO_ERROR);
        for (DWORD i = 0; i < t->dwNumEntries; i++) {
            const BYTE* a = (const BYTE*)&t->table[i].dwAddr;
            const BYTE* m = t->table[i].bPhysAddr;
            char line[64];
            snprintf(line, sizeof line, "%d.%d.%d.%d : %02x:%02x:%02x:%02x:%02x:%02x", a[0], a[1],
                     a[2], a[3], m[0], m[1], m[2], m[3], m[4], m[5]);
            expect.push_back(line);
        }
    }
    hwtest::Notices notices;
    dumparptable();
    EXPECT_EQ(lines(), expect);
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(ArpDump, RowsInTheOrderTheSystemReturnsThem) {
    readarptable = faketable;
    rows = {{{10, 77, 0, 9}, {0x02, 0, 0, 0, 0, 0x09}},
            {{10, 77, 0, 2}, {0x02, 0xab, 0xcd, 0xef, 0x01, 0x02}},
            {{192, 168, 200, 5}, {0, 0, 0, 0, 0, 0}}};
    dumparptable();
    std::vector<std::string> expect = {
        "Current ARP table:",
        "10.77.0.9 : 02:00:00:00:00:09",
        "10.77.0.2 : 02:ab:cd:ef:01:02",
        "192.168.200.5 : 00:00:00:00:00:00",
    };
    EXPECT_EQ(lines(), expect);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(lastorder);
}

TEST_F(ArpDump, EmptyTableOrNoDataPrintsOnlyTheHeader) {
    readarptable = faketable;
    dumparptable();
    failwith = ERROR_NO_DATA;
    hwtest::Notices notices;
    dumparptable();
    EXPECT_EQ(lines(), (std::vector<std::string>{"Current ARP table:", "Current ARP table:"}));
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(ArpDump, TooLargeTableWarnsThenListsTheFirst4000Rows) {
    readarptable = faketable;
    for (int i = 0; i < 4100; i++)
        rows.push_back({{10, 77, (unsigned char)(i >> 8), (unsigned char)i}, {2, 0, 0, 0, 0, 1}});
    ULONG need = (ULONG)(offsetof(MIB_IPNETTABLE, table) + 4100 * sizeof(MIB_IPNETROW));
    dumparptable();
    std::vector<std::string> got = lines();
    ASSERT_EQ(got.size(), 2u + 4000u);
    EXPECT_EQ(got[0], "Current ARP table:");
    EXPECT_EQ(got[1], "[Warning] Insufficient Memory(allocated 4000 needed " +
                          std::to_string(need) + ")\n");
    EXPECT_EQ(got[2], "10.77.0.0 : 02:00:00:00:00:01");
    EXPECT_EQ(got.back(), "10.77.15.159 : 02:00:00:00:00:01");  // row 3999
    EXPECT_EQ(calls, 2);
}

TEST_F(ArpDump, OtherFailuresAreShownAndListNothing) {
    readarptable = faketable;
    failwith = ERROR_NOT_SUPPORTED;
    hwtest::Notices notices;
    dumparptable();
    EXPECT_EQ(lines(), std::vector<std::string>{"Current ARP table:"});
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Error");
    EXPECT_EQ(notices[0].text, "Cannot read the ARP table <50>");
}

TEST_F(ArpDump, FailedAllocationIsShown) {
    readarptable = faketable;
    arpalloc = failingalloc;
    hwtest::Notices notices;
    dumparptable();
    EXPECT_EQ(lines(), std::vector<std::string>{"Current ARP table:"});
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Error");
    EXPECT_EQ(notices[0].text, "Error allocating memory");
    EXPECT_EQ(calls, 0);
}

}  // namespace
