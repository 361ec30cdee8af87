// Hostile window placements in the registry, through the real start and close: a DWORD,
// binary bytes, 10 KB of text and four huge numbers. The start tells what the rules
// say, the window opens, the records load, and the close stores a readable placement.
#include "rel.h"
#include "common/notices.h"
#include "common/state.h"
#include "common/winutil.h"

using namespace hwtest;
using namespace rel;

namespace {

const char keyname[] = "SOFTWARE\\Hostwarden";

void storevalue(const void* data, DWORD size, DWORD type) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyname, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "", 0, type, (const BYTE*)data, size), ERROR_SUCCESS);
    RegCloseKey(key);
}

// The stored placement under either root, as four numbers; false when it is not that.
bool storedfour(int n[4]) {
    HKEY roots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    for (HKEY root : roots) {
        HKEY key;
        if (RegOpenKeyExA(root, keyname, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
        char buf[300] = "";
        DWORD size = sizeof buf - 1, type = 0;
        LONG rc = RegQueryValueExA(key, "", nullptr, &type, (BYTE*)buf, &size);
        RegCloseKey(key);
        if (rc == ERROR_SUCCESS && type == REG_SZ)
            return sscanf(buf, "%d %d %d %d", &n[0], &n[1], &n[2], &n[3]) == 4;
    }
    return false;
}

class BadPlacement : public testing::Test {
protected:
    Notices notices;
    FakeNetwork network{true};
    // The test main maps this process's registry roots onto keys of its own.
    // Starts over the stored value with one watched address; true when the window opened
    // and its record loaded.
    void start() {
        writeini("SOFTWARE\\Hostwarden\\lowhost=10 77 4 1\r\nSOFTWARE\\Hostwarden\\highhost=10 77 4 1\r\n" +
                 recordkey(10, 77, 4, 1) + "=02 00 5e 10 20 30 9 0 1700000000 1700000900\r\n");
        ASSERT_NE(makemainwindow(), nullptr);
        waitpatrol();
        ASSERT_TRUE(IsWindow(mainwindow));
        ASSERT_NE(findrecord(1), nullptr);
        EXPECT_EQ(findrecord(1)->replies, 10);  // the record read, and the patrol's answer counted
    }
    void closeandcheck() {
        closemainwindow();
        int n[4];
        EXPECT_TRUE(storedfour(n));
        HostRecord r = {};
        ASSERT_TRUE(parserecordline(profilevalue(recordkey(10, 77, 4, 1)).c_str(), &r));
        EXPECT_EQ(r.replies, 10);
        EXPECT_EQ(r.firstseen, 1700000000);
    }
    void expectnotice(const std::string& text) {
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].caption, "Failure");
        EXPECT_EQ(notices[0].text, text);
    }
};

TEST_F(BadPlacement, DwordIsReadAsItsBytesAndToldAsNotFourNumbers) {
    DWORD v = 0x00393837;  // the bytes "789" and a NUL
    storevalue(&v, sizeof v, REG_DWORD);
    start();
    expectnotice("Invalid default value <789> for Registry Key <SOFTWARE\\Hostwarden>");
    closeandcheck();
}

TEST_F(BadPlacement, BinaryBytesAreToldAndTheDefaultPlaceKept) {
    std::string bytes = binarybytes();
    storevalue(bytes.data(), 200, REG_BINARY);  // within the 260-byte buffer, no NUL
    start();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text.find("Invalid default value <\x01\x02"), 0u);
    EXPECT_NE(notices[0].text.find("> for Registry Key <SOFTWARE\\Hostwarden>"), std::string::npos);
    closeandcheck();
}

TEST_F(BadPlacement, TenKilobytesOfTextCannotBeQueried) {
    std::string text = "10 20 300 400 " + std::string(10 * 1024, '9');
    storevalue(text.c_str(), (DWORD)text.size() + 1, REG_SZ);
    start();
    expectnotice("Could not Query Registry Key <SOFTWARE\\Hostwarden> Error Code 234");
    closeandcheck();
}

// Numbers past the 32-bit range saturate; the rectangle is not checked against the
// screen, so the window goes where the system puts it, and it still works and closes.
TEST_F(BadPlacement, FourHugeNumbersMoveTheWindowAndTheProgramGoesOn) {
    const char* values[] = {"99999999999 99999999999 99999999999 99999999999",
                            "-99999999999 -99999999999 99999999999 99999999999",
                            "99999999999 99999999999 -99999999999 -99999999999"};
    for (const char* v : values) {
        SCOPED_TRACE(v);
        storevalue(v, (DWORD)strlen(v) + 1, REG_SZ);
        start();
        EXPECT_TRUE(notices.all().empty());
        RECT r;
        EXPECT_TRUE(GetWindowRect(mainwindow, &r));
        printf("[ figure ] placement <%s> gave the window %ld %ld %ld %ld\n", v, (long)r.left,
               (long)r.top, (long)r.right, (long)r.bottom);
        closeandcheck();
        notices.clear();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, keyname);
        RegDeleteTreeA(HKEY_CURRENT_USER, keyname);
    }
}

}  // namespace
