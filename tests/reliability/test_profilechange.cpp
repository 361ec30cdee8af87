// Profile changes, each written whole into a new file that takes the profile's place:
// what a save leaves when the file is read-only, missing, held in another case, held open
// by another program, created or changed meanwhile, when a look at it, its flush or its
// editor fails, when a killed run left files behind, and when two threads write at once.
#include "rel.h"
#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>
#include <tlhelp32.h>
#include "common/state.h"
#include "monitor/records.h"
#include "settings/profileedit.h"
#include "settings/profilefile.h"
#include "settings/profilestore.h"

using namespace hwtest;
using namespace rel;

namespace {

const char ini[] = "Hostwarden.INI";

std::string fullpath(const char* name) {
    char full[MAX_PATH];
    GetFullPathNameA(name, sizeof full, full, nullptr);
    return full;
}

// Files beside the profile other than the profile itself: a temporary or backup file
// left behind, or the copy of an older build.
int besides() {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("Hostwarden.INI.*", &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do n += _stricmp(fd.cFileName, "Hostwarden.INI") != 0;  // "name.*" finds "name" too
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

// A key as the file holds it, whatever is pending in memory.
std::string filevalue(const std::string& key) {
    char buf[260] = "";
    GetPrivateProfileStringA("Hostwarden", key.c_str(), "<absent>", buf, sizeof buf, ".\\Hostwarden.INI");
    return buf;
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
    EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\period"), "60");
    EXPECT_EQ(besides(), 0);
    // An empty list changes nothing and creates nothing.
    DeleteFileA(ini);
    saverecords();
    EXPECT_EQ(GetFileAttributesA(ini), INVALID_FILE_ATTRIBUTES);
}

// Saves that cannot be made leave the file as it was; the first of them is told, and
// the first again after a save has succeeded.
TEST_F(ProfileChange, ReadOnlyFileIsLeftAsItWasAndTheFailureIsToldAgainAfterASuccess) {
    writeini("SOFTWARE\\Hostwarden\\period=60\r\n");
    std::string before = readfile(ini);
    ASSERT_TRUE(SetFileAttributesA(ini, FILE_ATTRIBUTE_READONLY));
    Notices notices;
    EXPECT_FALSE(putprofile("SOFTWARE\\Hostwarden\\period", "90"));
    buildrecords(3, 5);
    saverecords();
    EXPECT_EQ(readfile(ini), before);
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), "90") << "memory keeps the change";
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Failure");
    EXPECT_EQ(notices[0].text, "Cannot save the profile <" + fullpath(ini) + ">: it is read-only");
    // Writable again: the program went on, and saves land.
    ASSERT_TRUE(SetFileAttributesA(ini, FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\period", "90"));
    EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\period"), "90");
    EXPECT_EQ(notices.size(), 1u);
    ASSERT_TRUE(SetFileAttributesA(ini, FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(putprofile("SOFTWARE\\Hostwarden\\period", "30"));
    EXPECT_FALSE(putprofile("SOFTWARE\\Hostwarden\\period", "30"));
    EXPECT_EQ(notices.size(), 2u);
    EXPECT_EQ(besides(), 0);
}

// A folder that takes no new file (here one gone since the start) refuses the save at
// once, and the user is told which folder; memory keeps the change.
TEST_F(ProfileChange, AFolderThatTakesNoNewFileIsNamed) {
    ASSERT_TRUE(CreateDirectoryA("gone", nullptr));
    SetCurrentDirectoryA("gone");
    profileinit();
    SetCurrentDirectoryA("..");
    const std::string folder = fullpath("gone");
    ASSERT_TRUE(RemoveDirectoryA("gone"));
    Notices notices;
    EXPECT_FALSE(putprofile("SOFTWARE\\Hostwarden\\period", "90"));
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), "90");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text, "Cannot save the profile <" + folder + "\\Hostwarden.INI>: the folder <" + folder +
                                   "> does not take new files");
}

// The file's state: the value of `key`, the other key still there, nothing beside it.
void expectfile(const std::string& key, const std::string& value, const std::string& why) {
    EXPECT_EQ(filevalue(key), value) << why;
    EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\logs"), "1") << why;
    EXPECT_EQ(besides(), 0) << why;
}

// Only "not found" means no file. Any other failure to look at it (a network share's
// brief error) refuses the write: one made as for a missing file would have held this
// key alone.
DWORD WINAPI brieferror(LPCSTR) {
    SetLastError(ERROR_NETNAME_DELETED);
    return INVALID_FILE_ATTRIBUTES;
}
// The new text cannot be flushed to the disk: it must not take the file's place.
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
        EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), "90") << "memory keeps the change";
        expectfile("SOFTWARE\\Hostwarden\\period", "60", fault ? "flush" : "look");
        EXPECT_EQ(notices.size(), 1u) << fault;
    }
}

// Another program holds the file open (a virus scanner, the search indexer, a sync client,
// an editor). The change waits in memory, where reads find it, and the caller goes on
// after at most the program's short wait; the file is never written in part: it keeps
// its old text until the hold ends, then takes the new one whole, without a temporary
// file left. A hold that shares delete lets ReplaceFile through at once. A hold longer
// than the time to tell is told once, naming the likely cause.
TEST_F(ProfileChange, AFileHeldOpenByAnotherProgramIsSavedWholeWhenItIsFree) {
    struct Case {
        const char* what;
        DWORD share;
        int heldms;
        bool waits;  // the file keeps its old text while held
    } cases[] = {
        {"held for reading and writing", FILE_SHARE_READ | FILE_SHARE_WRITE, 600, true},
        {"held against writes too", FILE_SHARE_READ, 600, true},
        {"held against reads too", 0, 600, true},
        {"held, sharing delete", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 600, false},
    };
    profilewaitms = 100;  // as in the program
    profileheldtellms = 300;
    for (const Case& c : cases) {
        writeini("SOFTWARE\\Hostwarden\\period=60\r\nSOFTWARE\\Hostwarden\\logs=1\r\n");
        std::string before = readfile(ini);
        profilefailuretold = false;
        Notices notices;
        HANDLE held = CreateFileA(ini, GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE) << c.what;
        DWORD t0 = GetTickCount();
        EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\period", "90")) << c.what;
        DWORD waited = GetTickCount() - t0;
        EXPECT_LT(waited, (DWORD)c.heldms) << c.what << ": the caller waited for the holder";
        EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), "90") << c.what;
        if (c.waits && (c.share & FILE_SHARE_READ)) {
            EXPECT_EQ(readfile(ini), before) << c.what;
        }
        if ((int)waited < c.heldms) Sleep(c.heldms - waited);
        CloseHandle(held);
        EXPECT_EQ(profilesettle(5000), savelanded) << c.what;
        expectfile("SOFTWARE\\Hostwarden\\period", "90", c.what);
        ASSERT_EQ(notices.size(), c.waits ? 1u : 0u) << c.what;
        if (c.waits) {
            EXPECT_NE(notices[0].text.find("another program holds it open"), std::string::npos);
        }
    }
}

// A change that comes while a held save waits is merged into it: the save that lands
// holds both, and the earlier keys are not written back over the later ones.
TEST_F(ProfileChange, LaterChangesMergeIntoAHeldSave) {
    writeini("SOFTWARE\\Hostwarden\\period=60\r\nSOFTWARE\\Hostwarden\\logs=1\r\n");
    profilewaitms = 100;
    HANDLE held = CreateFileA(ini, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    buildrecords(3, 1);
    saverecords();
    EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\period", "90"));
    hostlist->replies = 2;
    saverecords();
    CloseHandle(held);
    EXPECT_EQ(profilesettle(5000), savelanded);
    EXPECT_EQ(filevalue(recordkey(10, 77, 10, 1)), "00 00 00 00 00 00 2 0 1700000000 0");
    EXPECT_EQ(filevalue(recordkey(10, 77, 10, 3)), "00 00 00 00 00 00 1 0 1700000000 0");
    expectfile("SOFTWARE\\Hostwarden\\period", "90", "merged");
}

// A file that appears while a change is made (an editor that saves by writing a new
// file, a share that said "not found" for a moment), or one changed meanwhile, is read
// again and the change made to it: its keys stay.
std::string editorsline;
void editorsaves(const char*) {
    if (editorsline.empty()) return;
    std::string text = readfile(ini);
    writefile(ini, (text.empty() ? "[Hostwarden]\r\n" : text) + editorsline);
    editorsline.clear();
}

TEST_F(ProfileChange, AFileCreatedOrChangedDuringAChangeIsMerged) {
    for (bool existed : {false, true}) {
        DeleteFileA(ini);
        if (existed) writeini("SOFTWARE\\Hostwarden\\logs=1\r\n");
        editorsline = "SOFTWARE\\Hostwarden\\Export=C:\\kept.txt\r\n";
        profilewritten = editorsaves;
        bool saved = putprofile("SOFTWARE\\Hostwarden\\period", "90");
        profilewritten = nullptr;
        EXPECT_TRUE(saved) << existed;
        EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\Export"), "C:\\kept.txt") << existed;
        EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\period"), "90") << existed;
        EXPECT_EQ(besides(), 0) << existed;
    }
}

// The new file is opened by another program the moment it is closed, as a virus scanner
// does: ReplaceFile is refused for that moment, and the save lands after it.
void scanneropens(const char* temp) {
    HANDLE h = CreateFileA(temp, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    profilewritten = nullptr;
    std::thread([h] {
        Sleep(300);
        CloseHandle(h);
    }).detach();
}

TEST_F(ProfileChange, ATemporaryFileRefusedForAMomentStillSaves) {
    writeini("SOFTWARE\\Hostwarden\\period=60\r\nSOFTWARE\\Hostwarden\\logs=1\r\n");
    Notices notices;
    profilewritten = scanneropens;
    EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\period", "90"));
    EXPECT_EQ(profilesettle(5000), savelanded);
    EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\period"), "90");
    // The refused file could not go while the scanner held it; the next save takes it.
    Sleep(400);
    EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\Export", "C:\\e.txt"));
    expectfile("SOFTWARE\\Hostwarden\\period", "90", "after the scan");
    EXPECT_EQ(notices.size(), 0u);
}

// An exception inside a write (the editor out of memory), or in a change's caller
// between its start and its end: nothing is written, it is told once, and the next
// change on another thread goes through.
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
        FAIL() << "the next change did not go through";
    }
    next.join();
    EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\period"), "92");
}

// A process other than this one that runs (Wine's own services do).
unsigned long otherprocess() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 pe = {};
    pe.dwSize = sizeof pe;
    unsigned long pid = 0;
    for (BOOL ok = Process32First(snap, &pe); ok && !pid; ok = Process32Next(snap, &pe))
        if (pe.th32ProcessID && pe.th32ProcessID != GetCurrentProcessId()) pid = pe.th32ProcessID;
    CloseHandle(snap);
    return pid;
}

// What a killed run leaves beside the profile goes at the next start: temporary files of
// runs that have ended, an older build's copy; a profile killed between ReplaceFile's two
// renames, left under its backup name, is put back. Files of a run still going stay.
TEST_F(ProfileChange, LeftoversOfAKilledRunGoAndAProfileLeftAsABackupIsPutBack) {
    const std::string gone = "Hostwarden.INI.4294967292-";  // no such process
    char running[64];
    snprintf(running, sizeof running, "Hostwarden.INI.%lu-1.tmp", otherprocess());
    for (int n = 1; n <= 3; n++) writefile((gone + std::to_string(n) + ".tmp").c_str(), "[Hostwarden]\r\ngarb");
    writefile("Hostwarden.INI.new", "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=1\r\n");
    writefile((gone + "4.bak").c_str(), "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\n");
    writefile(running, "another run's save in flight");
    profileinit();
    EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\period"), "60");
    EXPECT_EQ(besides(), 1);
    EXPECT_EQ(readfile(running), "another run's save in flight");
    DeleteFileA(running);
    buildrecords(3, 7);
    saverecords();
    EXPECT_EQ(filevalue(recordkey(10, 77, 10, 3)), "00 00 00 00 00 00 7 0 1700000000 0");
    EXPECT_EQ(besides(), 0);
}

TEST_F(ProfileChange, KeysInAnotherCaseAndOtherSectionsSurvive) {
    writefile(ini, "[Other]\r\nkeep=me\r\n[hostwarden]\r\nsoftware\\hostwarden\\PERIOD=60\r\n"
                   "; a comment\r\nSOFTWARE\\Hostwarden\\logs=1\r\n");
    EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\period", "90"));
    EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\period"), "90");
    EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\logs"), "1");
    char buf[64] = "";
    GetPrivateProfileStringA("Other", "keep", "", buf, sizeof buf, ".\\Hostwarden.INI");
    EXPECT_STREQ(buf, "me");
}

// A change's keys of another section go into that section, one change and one write
// with the program's own: a key of the same name in each stays apart, and the section
// reads back as Windows' reader takes it.
TEST_F(ProfileChange, KeysOfAnotherSectionLandInItWithTheProgramsOwn) {
    writefile(ini, "[Hostwarden]\r\n1=own\r\n[Hostwarden machines]\r\n1=02 77 01 00 00 0a 5\r\n");
    {
        ::ProfileChange change;
        change.put("SOFTWARE\\Hostwarden\\logs", "1");
        change.put(sectionkey("Hostwarden machines", "2").c_str(), "02 77 ee 12 34 56 6");
        change.put(sectionkey("Hostwarden machines", "next").c_str(), "3");
        change.put(sectionkey("New section", "a").c_str(), "b");
        EXPECT_TRUE(change.end());
    }
    char buf[64] = "";
    GetPrivateProfileStringA("Hostwarden machines", "2", "", buf, sizeof buf, ".\\Hostwarden.INI");
    EXPECT_STREQ(buf, "02 77 ee 12 34 56 6");
    GetPrivateProfileStringA("New section", "a", "", buf, sizeof buf, ".\\Hostwarden.INI");
    EXPECT_STREQ(buf, "b");
    EXPECT_EQ(filevalue("1"), "own");
    EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\logs"), "1");
    EXPECT_EQ(filevalue("2"), "<absent>");
    std::vector<std::pair<std::string, std::string>> want = {
        {"1", "02 77 01 00 00 0a 5"}, {"2", "02 77 ee 12 34 56 6"}, {"next", "3"}};
    EXPECT_EQ(profilesection("Hostwarden machines"), want);
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
        EXPECT_EQ(filevalue("SOFTWARE\\Hostwarden\\key" + std::to_string(i)), std::to_string(i));
    EXPECT_EQ(filevalue(recordkey(10, 77, 10, 200)), "00 00 00 00 00 00 1 0 1700000000 0");
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
    EXPECT_EQ(filevalue(recordkey(10, 77, 10, 1)), "00 00 00 00 00 00 5 0 1700000000 0");
    EXPECT_EQ(filevalue(recordkey(10, 77, 10, 2)), "00 00 00 00 00 00 9 0 1700000000 0");
    EXPECT_EQ(notices.size(), 0u);
}

}  // namespace
