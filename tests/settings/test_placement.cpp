// The window placement in the registry: absent, bad and long values, minimised and
// maximised windows, and the round trip through the real main window. Other tests run
// at the same time in the same prefix and write SOFTWARE\Hostwarden, so the direct tests
// use a program name of their own, and the tests of the real key run alone (*Serial).
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "hwtest.h"
#include "common/state.h"
#include "settings/placement.h"

using namespace hwtest;

namespace {

// SOFTWARE\<name>: the real key, or this process's own for the direct tests.
std::string keyof(const char* name) { return std::string("SOFTWARE\\") + name; }
std::string ownname() { return "HostwardenTest" + std::to_string(GetCurrentProcessId()); }
std::string keyname = keyof(progname);

void storevalue(HKEY root, const void* data, DWORD size, DWORD type = REG_SZ) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, keyname.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "", 0, type, (const BYTE*)data, size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void storetext(HKEY root, const char* text) { storevalue(root, text, (DWORD)strlen(text) + 1); }

// The stored default value and its type under one root, or "<absent>".
std::string storedtext(HKEY root, DWORD* type = nullptr, DWORD* size = nullptr) {
    HKEY key;
    if (RegOpenKeyExA(root, keyname.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "<absent>";
    char buf[512] = "";
    DWORD n = sizeof buf - 1, t = 0;
    LONG rc = RegQueryValueExA(key, "", nullptr, &t, (BYTE*)buf, &n);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return "<absent>";
    if (type) *type = t;
    if (size) *size = n;
    return buf;
}

std::string recttext(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    char buf[64];
    snprintf(buf, sizeof buf, "%d %d %d %d", (int)r.left, (int)r.top, (int)r.right, (int)r.bottom);
    return buf;
}

class Placement : public testing::Test {
protected:
    Notices notices;
    HWND w = nullptr;
    std::string name = ownname();
    void SetUp() override {
        keyname = keyof(name.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyname.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, keyname.c_str());
        w = CreateWindowExA(0, "STATIC", "placement", WS_OVERLAPPEDWINDOW, 40, 30, 300, 200,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(w, nullptr);
        ShowWindow(w, SW_SHOWNORMAL);
        pump();
    }
    void TearDown() override {
        DestroyWindow(w);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyname.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, keyname.c_str());
        keyname = keyof(progname);
    }
};

TEST_F(Placement, AbsentKeyLeavesTheWindowWhereItIsWithoutMessage) {
    std::string before = recttext(w);
    restoreplacement(w, name.c_str());
    EXPECT_EQ(recttext(w), before);
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(Placement, FourNumbersMoveTheWindowAndTheMachineKeyComesFirst) {
    storetext(HKEY_CURRENT_USER, "1 2 303 204");
    storetext(HKEY_LOCAL_MACHINE, "110 120 530 420");
    restoreplacement(w, name.c_str());
    EXPECT_EQ(recttext(w), "110 120 530 420");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyname.c_str());
    restoreplacement(w, name.c_str());
    EXPECT_EQ(recttext(w), "1 2 303 204");
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(Placement, ThreeNumbersShowTheValueAndTheKeyName) {
    storetext(HKEY_CURRENT_USER, "10 20 30");
    std::string before = recttext(w);
    restoreplacement(w, name.c_str());
    EXPECT_EQ(recttext(w), before);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].style, 0x2030u);
    EXPECT_EQ(notices[0].text, "Invalid default value <10 20 30> for Registry Key <" + keyname + ">");
}

TEST_F(Placement, ValueLongerThanTheBufferCannotBeQueried) {
    std::string longvalue = "10 20 300 400" + std::string(300, ' ');
    storetext(HKEY_LOCAL_MACHINE, longvalue.c_str());
    std::string before = recttext(w);
    restoreplacement(w, name.c_str());
    EXPECT_EQ(recttext(w), before);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text, "Could not Query Registry Key <" + keyname + "> Error Code 234");
}

TEST_F(Placement, ValueFillingTheWholeBufferWithoutTerminatorIsReadSafely) {
    std::string full = "15 25 315 225" + std::string(260 - 13, ' ');
    ASSERT_EQ(full.size(), 260u);
    storevalue(HKEY_LOCAL_MACHINE, full.data(), 260, REG_BINARY);  // no NUL anywhere
    restoreplacement(w, name.c_str());
    EXPECT_EQ(recttext(w), "15 25 315 225");
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(Placement, SaveWritesTheRectangleAsTextWithItsTerminator) {
    MoveWindow(w, 50, 60, 400, 300, TRUE);
    saveplacement(w, name.c_str());
    DWORD type = 0, size = 0;
    EXPECT_EQ(storedtext(HKEY_LOCAL_MACHINE, &type, &size), "50 60 450 360");
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(size, 14u);
    EXPECT_EQ(storedtext(HKEY_CURRENT_USER), "<absent>");
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(Placement, MinimisedWindowKeepsTheStoredPlacement) {
    storetext(HKEY_LOCAL_MACHINE, "1 2 3 4");
    ShowWindow(w, SW_MINIMIZE);
    pump();
    ASSERT_TRUE(IsIconic(w));
    saveplacement(w, name.c_str());
    EXPECT_EQ(storedtext(HKEY_LOCAL_MACHINE), "1 2 3 4");
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(Placement, MaximisedRectangleComesBackAsANormalWindowOfThatSize) {
    ShowWindow(w, SW_MAXIMIZE);
    pump();
    ASSERT_TRUE(IsZoomed(w));
    std::string maximised = recttext(w);
    saveplacement(w, name.c_str());
    EXPECT_EQ(storedtext(HKEY_LOCAL_MACHINE), maximised);

    HWND again = CreateWindowExA(0, "STATIC", "again", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(again, nullptr);
    restoreplacement(again, name.c_str());
    ShowWindow(again, SW_SHOWNORMAL);
    pump();
    EXPECT_FALSE(IsZoomed(again));
    EXPECT_EQ(recttext(again), maximised);
    DestroyWindow(again);
}

TEST(PlacementSerial, SurvivesARestartOfTheMainWindow) {
    Notices notices;
    HWND w = (HWND)makemainwindow();
    ASSERT_NE(w, nullptr);
    MoveWindow(w, 70, 80, 520, 410, TRUE);
    closemainwindow();
    EXPECT_EQ(storedtext(HKEY_LOCAL_MACHINE), "70 80 590 490");
    w = (HWND)makemainwindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(recttext(w), "70 80 590 490");
    closemainwindow();
    EXPECT_EQ(notices.size(), 0u);
}

TEST(PlacementSerial, ThreeNumbersAreReportedAtStartWithTheProgramsKey) {
    Notices notices;
    storetext(HKEY_CURRENT_USER, "10 20 30");
    HWND w = (HWND)makemainwindow();
    ASSERT_NE(w, nullptr);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_GT(r.right - r.left, 30);  // not moved to the three numbers
    ASSERT_GE(notices.size(), 1u);
    EXPECT_EQ(notices[0].text, "Invalid default value <10 20 30> for Registry Key <SOFTWARE\\Hostwarden>");
    closemainwindow();
}

}  // namespace
