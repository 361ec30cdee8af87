// The vendor lookup: OUI files small and real, its messages, and MACs that change
// while it runs.
#include "fixture.h"
#include <windows.h>
#include <commdlg.h>
#include <stdio.h>
#include <string>
#include "monitor/recordmac.h"
#include "reports/ouitable.h"
#include "reports/reportdlg.h"
#include "settings/profile.h"
#include "reports/choosefile.h"
#include "reports/vendorlookup.h"

namespace {

const char realoui[] = "Z:\\usr\\share\\ieee-data\\oui.txt";

std::string chosen;  // what the stand-in dialog answers; empty: cancel
DWORD chosenflags;
std::string chosentitle, chosenfilter;

BOOL WINAPI fakedialog(OPENFILENAMEA* ofn) {
    chosenflags = ofn->Flags;
    chosentitle = ofn->lpstrTitle;
    chosenfilter.clear();
    for (const char* f = ofn->lpstrFilter; *f; f += strlen(f) + 1) chosenfilter += f + std::string("|");
    if (chosen.empty()) return FALSE;
    snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", chosen.c_str());
    return TRUE;
}

class Lookup : public WithWindow {
protected:
    void SetUp() override {
        WithWindow::SetUp();
        openfiledialog = fakedialog;
        chosen.clear();
    }
    void TearDown() override {
        openfiledialog = GetOpenFileNameA;
        ouialloc = malloc;
        WithWindow::TearDown();
    }
    static HostRecord* host(int last, unsigned m0, unsigned m1, unsigned m2) {
        HostRecord* r = add(10, 77, 1, last);
        r->mac[0] = (unsigned char)m0;
        r->mac[1] = (unsigned char)m1;
        r->mac[2] = (unsigned char)m2;
        r->mac[3] = 0x4a;
        r->mac[4] = 0x11;
        r->mac[5] = 0x2c;
        return r;
    }
    static std::string full(const char* name) {
        char dir[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, dir);
        return std::string(dir) + "\\" + name;
    }
    // Writes an OUI file and runs the command with it chosen.
    static void run(const std::string& content) {
        hwtest::writefile("oui.txt", content);
        chosen = full("oui.txt");
        companylookup();
    }
};

TEST_F(Lookup, CommandValuesAndCancel) {
    companylookup();
    EXPECT_EQ(chosentitle, "Select OUI File");
    EXPECT_EQ(chosenfilter, "OUI Text Files|*.txt|All Files|*.*|");
    EXPECT_EQ(chosenflags, (DWORD)(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
    char buf[profilebuf];
    EXPECT_FALSE(getprofile(keylookup, buf));
    EXPECT_TRUE(lines().empty());
}

TEST_F(Lookup, RealIeeeListing) {
    host(1, 0x00, 0x00, 0x00);
    host(2, 0x00, 0x0d, 0x93);
    host(3, 0x08, 0x00, 0x30);  // listed three times: the first names it
    host(4, 0x02, 0x00, 0x00);  // locally administered, never assigned
    HostRecord* none = host(5, 0, 0, 0);
    memset(none->mac, 0, 6);
    host(6, 0x08, 0x00, 0x27);
    chosen = realoui;
    hwtest::Notices notices;
    DWORD start = GetTickCount();
    companylookup();
    DWORD ms = GetTickCount() - start;
    printf("lookup with the IEEE listing took %lu ms\n", (unsigned long)ms);
    RecordProperty("lookup_ms", (int)ms);
    EXPECT_EQ(notices.size(), 0u);
    std::vector<std::string> expect = {
        "10.77.1.1 (00:00:00:4a:11:2c) XEROX CORPORATION",
        "10.77.1.2 (00:0d:93:4a:11:2c) Apple, Inc.",
        "10.77.1.3 (08:00:30:4a:11:2c) NETWORK RESEARCH CORPORATION",
        "10.77.1.4 (02:00:00:4a:11:2c) unknown",
        "10.77.1.6 (08:00:27:4a:11:2c) PCS Systemtechnik GmbH",
    };
    EXPECT_EQ(lines(), expect);
    char buf[profilebuf];
    ASSERT_TRUE(getprofile(keylookup, buf));
    EXPECT_STREQ(buf, realoui);
}

// Two full class C ranges whose MACs are all unassigned: every search runs through the
// whole table.
TEST_F(Lookup, RealIeeeListingWorstCase) {
    for (int i = 0; i < 512; i++) host(i & 0xff, 0x02, 0xfe, (unsigned)i);
    chosen = realoui;
    hwtest::Notices notices;
    DWORD start = GetTickCount();
    companylookup();
    DWORD ms = GetTickCount() - start;
    printf("lookup of 512 unassigned MACs in the IEEE listing took %lu ms\n", (unsigned long)ms);
    RecordProperty("lookup_ms", (int)ms);
    EXPECT_EQ(notices.size(), 0u);
    std::vector<std::string> got = lines();
    ASSERT_EQ(got.size(), 512u);
    for (const std::string& l : got) EXPECT_EQ(l.substr(l.size() - 9), ") unknown") << l;
    EXPECT_LT(ms, 20000u);
}

TEST_F(Lookup, SmallFileRules) {
    host(1, 0x00, 0x11, 0x22);
    host(2, 0x0a, 0x1b, 0xff);
    host(3, 0x00, 0x00, 0xff);
    host(4, 0x33, 0x44, 0x55);
    host(5, 0x66, 0x77, 0x88);
    host(6, 0x99, 0x99, 0x99);
    run("00-11-22   (hex)\t\tFIRST\n"
        "00-11-22   (hex)\t\tSECOND\n"
        "0a-1b-ff   (hex)\t\tlower case\n"
        "100-200-2FF (hex) wide numbers\n"
        "33-44-55   (hex)\n"
        "66-77-88   no parenthesis\n"
        "667788     (base 16)\t\tnot dashed\n"
        "\t\t\t\tstreet 1\n");
    std::vector<std::string> expect = {
        "10.77.1.1 (00:11:22:4a:11:2c) FIRST",
        "10.77.1.2 (0a:1b:ff:4a:11:2c) lower case",
        "10.77.1.3 (00:00:ff:4a:11:2c) wide numbers",
        "10.77.1.4 (33:44:55:4a:11:2c) ",
        "10.77.1.5 (66:77:88:4a:11:2c) unknown",
        "10.77.1.6 (99:99:99:4a:11:2c) unknown",
    };
    EXPECT_EQ(lines(), expect);
}

TEST_F(Lookup, FileWithoutOuiRecordsGivesTheFailureAndStaysRemembered) {
    host(1, 0x00, 0x11, 0x22);
    hwtest::Notices notices;
    run("00-11-22 no parenthesis\n001122 (base 16) X\nplain text\n");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Failure");
    EXPECT_EQ(notices[0].text,
              "No OUI records found in <" + full("oui.txt") +
                  ">\nTypical format would be as follows, other lines are ignored:\n"
                  "00-00-00   (hex)\t\tXEROX CORPORATION");
    EXPECT_TRUE(lines().empty());
    char buf[profilebuf];
    ASSERT_TRUE(getprofile(keylookup, buf));
    EXPECT_EQ(std::string(buf), full("oui.txt"));
}

TEST_F(Lookup, ZeroMacsGetNoLine) {
    memset(host(1, 0, 0, 0)->mac, 0, 6);
    memset(host(2, 0, 0, 0)->mac, 0, 6);
    hwtest::Notices notices;
    run("00-00-00   (hex)\t\tXEROX CORPORATION\n");
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(Lookup, LongLinesAreReadInPiecesAndLongCompaniesCut) {
    host(1, 0x00, 0x11, 0x22);
    host(2, 0x00, 0x11, 0x23);
    host(3, 0x00, 0x11, 0x24);
    std::string longline = "00-11-22 (hex) " + std::string(4985, 'A');  // 5,000 characters
    // The second piece of this line would pass for an OUI line of its own.
    std::string trap = "00-99-99 (hex) " + std::string(1023 - 15, 'B') + "00-11-24 (hex) PIECE";
    run(longline + "\n" + trap + "\n00-11-23 (hex) AFTER\n");
    std::vector<std::string> got = lines();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].size(), 1023u);
    EXPECT_EQ(got[0], "10.77.1.1 (00:11:22:4a:11:2c) " + std::string(1023 - 30, 'A'));
    EXPECT_EQ(got[1], "10.77.1.2 (00:11:23:4a:11:2c) AFTER");
    EXPECT_EQ(got[2], "10.77.1.3 (00:11:24:4a:11:2c) PIECE");
}

TEST_F(Lookup, MissingFileIsReported) {
    host(1, 0x00, 0x11, 0x22);
    chosen = full("absent.txt");
    hwtest::Notices notices;
    companylookup();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Error");
    EXPECT_EQ(notices[0].text, "Cannot open <" + full("absent.txt") + ">");
    EXPECT_TRUE(lines().empty());
    char buf[profilebuf];
    ASSERT_TRUE(getprofile(keylookup, buf));
    EXPECT_EQ(std::string(buf), full("absent.txt"));
}

int allowed;
void* failafter(size_t n) { return allowed-- > 0 ? malloc(n) : nullptr; }

TEST_F(Lookup, AllocationFailureShowsTheMessageListsNothingAndClosesTheFile) {
    host(1, 0x00, 0x11, 0x22);
    allowed = 1;
    ouialloc = failafter;
    hwtest::Notices notices;
    run("00-11-22 (hex) ONE\n00-11-23 (hex) TWO\n00-11-24 (hex) THREE\n");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Error");
    EXPECT_EQ(notices[0].text, "Error allocating memory");
    EXPECT_TRUE(lines().empty());
    EXPECT_TRUE(DeleteFileA("oui.txt")) << "the OUI file is still open";
}

// A patrol rewrites MACs while the lookup runs: every line must show one whole MAC,
// with that MAC's company.
struct Flipper {
    HostRecord* r;
    volatile bool stop;
    static DWORD WINAPI run(LPVOID p) {
        Flipper* f = (Flipper*)p;
        const unsigned char a[6] = {0x00, 0x11, 0x22, 0x00, 0x11, 0x22};
        const unsigned char b[6] = {0x33, 0x44, 0x55, 0x33, 0x44, 0x55};
        for (unsigned i = 0; !f->stop; i++) setmac(f->r, i & 1 ? b : a);
        return 0;
    }
};

TEST_F(Lookup, MacChangingDuringTheLookupIsReadWhole) {
    HostRecord* r = host(1, 0x00, 0x11, 0x22);
    memcpy(r->mac + 3, "\x00\x11\x22", 3);
    hwtest::writefile("oui.txt", "00-11-22 (hex) AAA\n33-44-55 (hex) BBB\n");
    Flipper flip = {r, false};
    HANDLE t = CreateThread(nullptr, 0, Flipper::run, &flip, 0, nullptr);
    for (int i = 0; i < 300; i++) listcompanies("oui.txt");
    flip.stop = true;
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    std::vector<std::string> got = lines();
    ASSERT_EQ(got.size(), 300u);
    for (const std::string& l : got)
        EXPECT_TRUE(l == "10.77.1.1 (00:11:22:00:11:22) AAA" ||
                    l == "10.77.1.1 (33:44:55:33:44:55) BBB")
            << l;
}

}  // namespace
