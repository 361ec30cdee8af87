// Profile changes made through a complete copy: what a save leaves when the file is
// read-only, missing, held in another case or held open by another program, when a
// look at it, its flush or its editor fails, when a copy was left behind by a killed
// run, and when two threads write at once.
#include "rel.h"
#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>
#include "common/state.h"
#include "monitor/records.h"
#include "settings/profileedit.h"
#include "settings/profilefile.h"

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

// Saves that cannot be made leave the file as it was; the first of them is told, and
// the first again after a save has succeeded; the shutdown's save is told in any case.
TEST_F(ProfileChange, ReadOnlyFileIsLeftAsItWasAndTheFailureIsToldAgainAfterASuccess) {
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
    ASSERT_TRUE(SetFileAttributesA(ini, FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(putprofile("SOFTWARE\\Hostwarden\\period", "30"));
    EXPECT_FALSE(putprofile("SOFTWARE\\Hostwarden\\period", "30"));
    EXPECT_EQ(notices.size(), 2u);
    ::ProfileChange shutdown;
    shutdown.put("SOFTWARE\\Hostwarden\\period", "30");
    EXPECT_FALSE(shutdown.end(true));
    EXPECT_EQ(notices.size(), 3u);
}

// The file's state: the value of `key`, and whether the file still holds `other`.
void expectfile(const std::string& key, const std::string& value, const std::string& why) {
    EXPECT_EQ(profilevalue(key), value) << why;
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\logs"), "1") << why;
    EXPECT_EQ(GetFileAttributesA("Hostwarden.INI.new"), INVALID_FILE_ATTRIBUTES) << why;
}

// Only "not found" means no file. Any other failure to look at it (a network share's
// brief error) refuses the change: a copy made as for a missing file would have held
// this key alone and replaced the user's file.
DWORD WINAPI brieferror(LPCSTR) {
    SetLastError(ERROR_NETNAME_DELETED);
    return INVALID_FILE_ATTRIBUTES;
}
// The copy cannot be flushed to the disk: it must not take the file's place.
BOOL WINAPI flushfails(HANDLE) {
    SetLastError(ERROR_IO_DEVICE);
    return FALSE;
}

TEST_F(ProfileChange, AFailedLookOrFlushRefusesTheChangeAndIsTold) {
    for (int fault = 0; fault < 2; fault++) {
        writeini("SOFTWARE\\Hostwarden\\period=60\r\nSOFTWARE\\Hostwarden\\logs=1\r\n");
        profilefailuretold = false;
        Notices notices;
        if (fault == 0) profileattributes = brieferror;
        if (fault == 1) profileflush = flushfails;
        bool saved = putprofile("SOFTWARE\\Hostwarden\\period", "90");
        profileattributes = GetFileAttributesA;
        profileflush = FlushFileBuffers;
        EXPECT_FALSE(saved) << fault;
        expectfile("SOFTWARE\\Hostwarden\\period", "60", fault ? "flush" : "look");
        EXPECT_EQ(notices.size(), 1u) << fault;
    }
}

// Another program holds the file open without delete sharing (a virus scanner, the
// search indexer, an editor), so the copy cannot be renamed over it. Held briefly, the
// rename is tried again; held throughout, the file is rewritten in place, whole; held
// against writing too, the change is refused and told, the file as it was.
TEST_F(ProfileChange, AFileHeldOpenByAnotherProgramIsSavedWhole) {
    struct Case {
        const char* what;
        DWORD share;
        int heldms;  // then closed; -1 throughout
        bool saved;
    } cases[] = {
        {"held briefly", FILE_SHARE_READ | FILE_SHARE_WRITE, 300, true},
        {"held throughout", FILE_SHARE_READ | FILE_SHARE_WRITE, -1, true},
        {"held against writes", FILE_SHARE_READ, -1, false},
    };
    int replacems = profilereplacems;
    profilereplacems = 600;
    for (const Case& c : cases) {
        writeini("SOFTWARE\\Hostwarden\\period=60\r\nSOFTWARE\\Hostwarden\\logs=1\r\n");
        profilefailuretold = false;
        Notices notices;
        HANDLE held = CreateFileA(ini, GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE) << c.what;
        std::thread closer([&] {
            if (c.heldms >= 0) {
                Sleep(c.heldms);
                CloseHandle(held);
            }
        });
        bool saved = putprofile("SOFTWARE\\Hostwarden\\period", "90");
        closer.join();
        if (c.heldms < 0) CloseHandle(held);
        EXPECT_EQ(saved, c.saved) << c.what;
        expectfile("SOFTWARE\\Hostwarden\\period", c.saved ? "90" : "60", c.what);
        EXPECT_EQ(notices.size(), c.saved ? 0u : 1u) << c.what;
    }
    profilereplacems = replacems;
}

// An exception inside a change (the editor out of memory), or in its caller between its
// start and its end: the change fails and is told, and the lock is let go, so that the
// next change on another thread goes through.
std::string editorthrows(const std::string&, const char*, const std::vector<std::string>&,
                         const std::vector<std::string>&) {
    throw std::bad_alloc();
}

TEST_F(ProfileChange, AnExceptionFailsTheChangeAndLetsTheLockGo) {
    writeini("SOFTWARE\\Hostwarden\\period=60\r\nSOFTWARE\\Hostwarden\\logs=1\r\n");
    Notices notices;
    std::thread([] {
        profileeditor = editorthrows;
        EXPECT_FALSE(putprofile("SOFTWARE\\Hostwarden\\period", "90"));
        profileeditor = profileedit;
        try {
            ::ProfileChange change;
            change.put("SOFTWARE\\Hostwarden\\period", "91");
            throw std::runtime_error("the caller failed");
        } catch (const std::runtime_error&) {
        }
    }).join();
    expectfile("SOFTWARE\\Hostwarden\\period", "60", "after the exceptions");
    EXPECT_EQ(notices.size(), 1u);  // both failures, one after the other: told once
    std::atomic<bool> done(false);
    std::thread next([&] {
        EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\period", "92"));
        done = true;
    });
    for (int i = 0; i < 200 && !done; i++) Sleep(10);
    if (!done) {
        next.detach();  // blocked for good
        FAIL() << "the profile's lock is still held";
    }
    next.join();
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), "92");
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
