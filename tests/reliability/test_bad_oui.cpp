// Hostile OUI files through the vendor lookup: empty, binary, UTF-16, 64 KiB lines, a
// million lines, and a file removed between the file dialog and the read.
#include "rel.h"
#include <commdlg.h>
#include <stdio.h>
#include "common/notices.h"
#include "reports/ouitable.h"
#include "reports/reportdlg.h"
#include "textview/output.h"
#include "reports/choosefile.h"
#include "reports/vendorlookup.h"

using namespace hwtest;
using namespace rel;

namespace {

std::string chosen;
bool removebeforeread = false;
BOOL WINAPI fakedialog(OPENFILENAMEA* ofn) {
    snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", chosen.c_str());
    // The file goes away after the user confirmed it and before the program reads it.
    if (removebeforeread) DeleteFileA(chosen.c_str());
    return TRUE;
}

const char nofound[] = "No OUI records found in <%s>\nTypical format would be as follows, other "
                       "lines are ignored:\n00-00-00   (hex)\t\tXEROX CORPORATION";

class BadOui : public testing::Test {
protected:
    Notices notices;
    void SetUp() override {
        ASSERT_NE(makemainwindow(), nullptr);
        openfiledialog = fakedialog;
        removebeforeread = false;
        clearoutput();
        // Two records with MACs, one without.
        const unsigned char macs[3][6] = {{0x00, 0x11, 0x22, 1, 2, 3}, {0x0a, 0x1b, 0xff, 4, 5, 6}, {0}};
        for (int i = 0; i < 3; i++) {
            HostRecord* r = (HostRecord*)listappend(hostlisthead(), sizeof(HostRecord));
            r->addr = {{10, 77, 5, (unsigned char)(i + 1)}};
            memcpy(r->mac, macs[i], 6);
            r->replies = 4 + i;
        }
    }
    void TearDown() override {
        openfiledialog = GetOpenFileNameA;
        closemainwindow();
    }
    std::string path(const char* name) {
        char dir[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, dir);
        return std::string(dir) + "\\" + name;
    }
    void run(const std::string& content) {
        writefile("oui.txt", content);
        chosen = path("oui.txt");
        companylookup();
    }
    void expectnofound() {
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].caption, "Failure");
        char text[1024];
        snprintf(text, sizeof text, nofound, chosen.c_str());
        EXPECT_EQ(notices[0].text, text);
        EXPECT_TRUE(viewlines().empty());
    }
    void expectrecordsintact() {
        HostRecord* r = hostlist;
        for (int i = 0; i < 3; i++, r = r->next) {
            ASSERT_NE(r, nullptr);
            EXPECT_EQ(r->replies, 4 + i);
        }
        EXPECT_EQ(r, nullptr);
    }
};

TEST_F(BadOui, EmptyBinaryAndUtf16FilesGiveTheNoRecordsMessage) {
    run("");
    expectnofound();
    notices.clear();
    std::string binary;
    for (int i = 0; i < 65536; i++) binary += (char)((i * 7919) >> 3 & 0xff);
    // Binary bytes without any text that scans as three dash-joined numbers and a ')'.
    for (char& c : binary)
        if (c == ')' || c == '-') c = 0x01;
    run(binary);
    expectnofound();
    notices.clear();
    // The IEEE listing saved as UTF-16: every other byte NUL, so no line scans.
    std::string ascii = "00-11-22   (hex)\t\tWIDE CORPORATION\r\n0A-1B-FF   (hex)\t\tOTHER\r\n";
    std::string wide = "\xff\xfe";
    for (char c : ascii) wide += std::string(1, c) + '\0';
    run(wide);
    expectnofound();
    expectrecordsintact();
}

TEST_F(BadOui, LinesOf64KiBAreReadInPiecesAndTheOutputLineIsCut) {
    std::string company(64 * 1024, 'C');
    run("00-11-22   (hex)\t\t" + company + "\n0a-1b-ff (hex) SHORT\n" + std::string(64 * 1024, '-') + "\n");
    EXPECT_TRUE(notices.all().empty());
    std::vector<std::string> v = viewlines();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].find("10.77.5.1 (00:11:22:01:02:03) CCCC"), 0u);
    EXPECT_LE(v[0].size(), 1023u);
    EXPECT_EQ(v[1], "10.77.5.2 (0a:1b:ff:04:05:06) SHORT");
    expectrecordsintact();
}

TEST_F(BadOui, AMillionLinesAreReadWholeAndTheLastOneIsFound) {
    std::string big;
    big.reserve(32 * 1000000);
    char line[64];
    for (int i = 0; i < 1000000; i++) {
        // Distinct OUIs; 0a-1b-ff comes only on the last line.
        unsigned o = (unsigned)i + 0x100000u;
        if (i == 999999) o = 0x0a1bff;
        snprintf(line, sizeof line, "%02X-%02X-%02X   (hex)\t\tMAKER %d\n", o >> 16 & 0xff,
                 o >> 8 & 0xff, o & 0xff, i);
        big += line;
    }
    DWORD t0 = GetTickCount();
    run(big);
    DWORD ms = GetTickCount() - t0;
    EXPECT_TRUE(notices.all().empty());
    std::vector<std::string> v = viewlines();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0], "10.77.5.1 (00:11:22:01:02:03) unknown");
    EXPECT_EQ(v[1], "10.77.5.2 (0a:1b:ff:04:05:06) MAKER 999999");
    printf("[ figure ] a million OUI lines read and looked up in %lu ms\n", (unsigned long)ms);
    expectrecordsintact();
}

TEST_F(BadOui, FileRemovedBetweenTheDialogAndTheReadIsToldAndRemembered) {
    writefile("oui.txt", "00-11-22 (hex) X\n");
    chosen = path("oui.txt");
    removebeforeread = true;
    companylookup();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Error");
    EXPECT_EQ(notices[0].text, "Cannot open <" + chosen + ">");
    EXPECT_TRUE(viewlines().empty());
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\lookupcompanies"), chosen);
    expectrecordsintact();
}

}  // namespace
