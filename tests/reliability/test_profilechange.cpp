// Profile changes made through a complete copy: what a save leaves when the file is
// read-only, missing or held in another case, when a copy was left behind by a killed
// run, and when two threads write at once.
#include "rel.h"
#include <thread>
#include "common/state.h"
#include "monitor/records.h"

using namespace hwtest;
using namespace rel;

namespace {

const char ini[] = "Hostwarden.INI";

std::string fullpath(const char* name) {
    char full[MAX_PATH];
    GetFullPathNameA(name, sizeof full, full, nullptr);
    return full;
}

void buildrecords(int n, int replies) {
    HostRecord* last = nullptr;
    for (int i = 1; i <= n; i++) {
        last = (HostRecord*)listappendafter(hostlisthead(), last, sizeof(HostRecord));
        last->addr = {{10, 77, 10, (unsigned char)i}};
        last->replies = replies;
        last->firstseen = 1700000000;
    }
}

class ProfileChange : public testing::Test {
protected:
    void SetUp() override {
        exitrequest = true;  // no busy indicator without a main window
        profilefailuretold = false;
    }
    void TearDown() override {
        listdiscard(hostlisthead());
        SetFileAttributesA(ini, FILE_ATTRIBUTE_NORMAL);
    }
};

TEST_F(ProfileChange, MissingFileIsCreatedAndNoCopyStaysBehind) {
    EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\period", "60"));
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), "60");
    EXPECT_EQ(GetFileAttributesA("Hostwarden.INI.new"), INVALID_FILE_ATTRIBUTES);
    // An empty list changes nothing and creates nothing.
    DeleteFileA(ini);
    saverecords();
    EXPECT_EQ(GetFileAttributesA(ini), INVALID_FILE_ATTRIBUTES);
}

// Saves that cannot be made leave the file as it was, and the first of them is told.
TEST_F(ProfileChange, ReadOnlyFileIsLeftAsItWasAndTheFailureIsToldOnce) {
    writeini("SOFTWARE\\Hostwarden\\period=60\r\n");
    std::string before = readfile(ini);
    ASSERT_TRUE(SetFileAttributesA(ini, FILE_ATTRIBUTE_READONLY));
    Notices notices;
    EXPECT_FALSE(putprofile("SOFTWARE\\Hostwarden\\period", "90"));
    buildrecords(3, 5);
    saverecords();
    EXPECT_EQ(readfile(ini), before);
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), "60");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Failure");
    EXPECT_EQ(notices[0].text, "Cannot save the profile <" + fullpath(ini) + ">");
    // Writable again: the program went on, and saves land.
    ASSERT_TRUE(SetFileAttributesA(ini, FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\period", "90"));
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), "90");
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(ProfileChange, CopyLeftByAKilledRunIsReplaced) {
    writeini("SOFTWARE\\Hostwarden\\period=60\r\n");
    writefile("Hostwarden.INI.new", "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=1\r\ngarbage\x01");
    buildrecords(3, 7);
    saverecords();
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), "60");
    EXPECT_EQ(profilevalue(recordkey(10, 77, 10, 3)), "00 00 00 00 00 00 7 0 1700000000 0");
    EXPECT_EQ(GetFileAttributesA("Hostwarden.INI.new"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ProfileChange, KeysInAnotherCaseAndOtherSectionsSurvive) {
    writefile(ini, "[Other]\r\nkeep=me\r\n[hostwarden]\r\nsoftware\\hostwarden\\PERIOD=60\r\n"
                   "; a comment\r\nSOFTWARE\\Hostwarden\\logs=1\r\n");
    EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\period", "90"));
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), "90");
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\logs"), "1");
    char buf[64] = "";
    GetPrivateProfileStringA("Other", "keep", "", buf, sizeof buf, ".\\Hostwarden.INI");
    EXPECT_STREQ(buf, "me");
}

// A key written by the window thread while another thread saves the records is not
// undone when the save's copy takes the file's place.
TEST_F(ProfileChange, WritesFromTwoThreadsAreAllKept) {
    writeini("SOFTWARE\\Hostwarden\\period=60\r\n");
    buildrecords(200, 1);
    std::thread saver([] {
        for (int i = 0; i < 3; i++) saverecords();
    });
    for (int i = 0; i < 20; i++) {
        std::string key = "SOFTWARE\\Hostwarden\\key" + std::to_string(i);
        EXPECT_TRUE(putprofile(key.c_str(), std::to_string(i).c_str()));
        Sleep(5);
    }
    saver.join();
    for (int i = 0; i < 20; i++)
        EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\key" + std::to_string(i)), std::to_string(i));
    EXPECT_EQ(profilevalue(recordkey(10, 77, 10, 200)), "00 00 00 00 00 00 1 0 1700000000 0");
}

// Overlapping ranges hold an address twice: every save kept being refused, unseen. Now
// the record of the second range, saved last, is the one kept, as one write after the
// other leaves it.
TEST_F(ProfileChange, AnAddressOfBothRangesIsSavedWithItsLastRecord) {
    writeini("SOFTWARE\\Hostwarden\\period=60\r\n");
    Notices notices;
    buildrecords(3, 5);
    HostRecord* last = hostlist;
    while (last->next) last = last->next;
    HostRecord* again = (HostRecord*)listappendafter(hostlisthead(), last, sizeof(HostRecord));
    again->addr = {{10, 77, 10, 2}};
    again->replies = 9;
    again->firstseen = 1700000000;
    saverecords();
    EXPECT_EQ(profilevalue(recordkey(10, 77, 10, 1)), "00 00 00 00 00 00 5 0 1700000000 0");
    EXPECT_EQ(profilevalue(recordkey(10, 77, 10, 2)), "00 00 00 00 00 00 9 0 1700000000 0");
    EXPECT_EQ(notices.size(), 0u);
}

}  // namespace
