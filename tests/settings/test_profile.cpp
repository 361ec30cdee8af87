// The settings profile: defaults, the period and range keys, long values, and what a
// normal close writes.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "hwtest.h"
#include "common/notices.h"
#include "common/state.h"
#include "settings/profile.h"
#include "monitor/hostlist.h"
#include "textview/logfile.h"
#include "textview/output.h"
#include "app/commands.h"

using namespace hwtest;

namespace {

bool same(const Addr4& a, int o0, int o1, int o2, int o3) {
    return a.o[0] == o0 && a.o[1] == o1 && a.o[2] == o2 && a.o[3] == o3;
}

TEST(Profile, MissingFileGivesEveryDefaultWithoutMessageAndCloseWritesRangesAndPeriod) {
    Notices notices;
    ASSERT_NE(makemainwindow(), nullptr);
    EXPECT_EQ(period, 3600);
    EXPECT_TRUE(addrzero(lowhost) && addrzero(highhost) && addrzero(lowhost2) && addrzero(highhost2));
    EXPECT_FALSE(logging);
    EXPECT_EQ(notices.size(), 0u);
    closemainwindow();
    EXPECT_EQ(notices.size(), 0u);
    EXPECT_EQ(profilevalue(keylowhost), "0 0 0 0");
    EXPECT_EQ(profilevalue(keyhighhost), "0 0 0 0");
    EXPECT_EQ(profilevalue(keylowhost2), "0 0 0 0");
    EXPECT_EQ(profilevalue(keyhighhost2), "0 0 0 0");
    EXPECT_EQ(profilevalue(keyperiod), "3600");
    EXPECT_EQ(profilevalue(keylogs), "<absent>");
    // The file is the working directory's own, not one in the system directory.
    std::string ini = readfile("Hostwarden.INI");
    EXPECT_NE(ini.find("[Hostwarden]"), std::string::npos);
    EXPECT_NE(ini.find("SOFTWARE\\Hostwarden\\period=3600"), std::string::npos);
}

TEST(Profile, CloseWritesTheRangesAndPeriodHeldInMemory) {
    writeini("SOFTWARE\\Hostwarden\\period=120\r\n");
    ASSERT_NE(makemainwindow(), nullptr);
    EXPECT_EQ(period, 120);
    // Set as the configuration dialog would, without building records (no patrol).
    lowhost2 = {{10, 77, 0, 5}};
    highhost2 = {{10, 77, 0, 9}};
    closemainwindow();
    EXPECT_EQ(profilevalue(keylowhost2), "10 77 0 5");
    EXPECT_EQ(profilevalue(keyhighhost2), "10 77 0 9");
    EXPECT_EQ(profilevalue(keyperiod), "120");
}

int periodafterstart(const char* value) {
    writeini(std::string("SOFTWARE\\Hostwarden\\period=") + value + "\r\n");
    period = 3600;
    if (!makemainwindow()) return -1;
    int p = period;
    closemainwindow();
    return p;
}

TEST(Profile, PeriodKeyReadsItsLeadingNumber) {
    EXPECT_EQ(periodafterstart("abc"), 0);
    EXPECT_EQ(periodafterstart("  90s"), 90);
    EXPECT_EQ(periodafterstart(""), 3600);
    EXPECT_EQ(periodafterstart("-15"), -15);
    EXPECT_EQ(periodafterstart("99999999999"), 2147483647);
}

TEST(Profile, DottedRangeKeyIsRefusedWithValueAndKeyInTheMessage) {
    Notices notices;
    writeini("SOFTWARE\\Hostwarden\\lowhost=192.168.1.10\r\n");
    Addr4 a = {{1, 2, 3, 4}};
    EXPECT_FALSE(readaddresskey(keylowhost, &a));
    EXPECT_TRUE(same(a, 1, 2, 3, 4));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Failure");
    EXPECT_EQ(notices[0].style, 0x2030u);  // the shared caption, not a copy of its letters
    EXPECT_EQ(notices[0].text,
              "Invalid default value <192.168.1.10> for Registry Key <SOFTWARE\\Hostwarden\\lowhost>");
}

TEST(Profile, RangeKeyThatIsNoAddressIsSilentlyIgnored) {
    Notices notices;
    writeini("SOFTWARE\\Hostwarden\\lowhost=192 168 1 300\r\n"
             "SOFTWARE\\Hostwarden\\highhost=255 255 255 255\r\n"
             "SOFTWARE\\Hostwarden\\lowhost2=4294967306 0 0 1\r\n"
             "SOFTWARE\\Hostwarden\\highhost2=-1 0 0 1\r\n");
    Addr4 a = {{9, 9, 9, 9}};
    EXPECT_FALSE(readaddresskey(keylowhost, &a));
    EXPECT_FALSE(readaddresskey(keyhighhost, &a));
    // A number beyond 32 bits must not wrap round into a valid octet.
    EXPECT_FALSE(readaddresskey(keylowhost2, &a));
    EXPECT_FALSE(readaddresskey(keyhighhost2, &a));
    EXPECT_TRUE(same(a, 9, 9, 9, 9));
    EXPECT_EQ(notices.size(), 0u);
}

TEST(Profile, RangeKeyUsesTheFirstFourNumbers) {
    Notices notices;
    writeini("SOFTWARE\\Hostwarden\\lowhost=192 168 1 10 99\r\n"
             "SOFTWARE\\Hostwarden\\highhost=0 0 0 0\r\n");
    Addr4 a = {{9, 9, 9, 9}};
    EXPECT_TRUE(readaddresskey(keylowhost, &a));
    EXPECT_TRUE(same(a, 192, 168, 1, 10));
    EXPECT_TRUE(readaddresskey(keyhighhost, &a));
    EXPECT_TRUE(same(a, 0, 0, 0, 0));
    EXPECT_FALSE(readaddresskey(keylowhost2, &a));  // absent: untouched, no message
    EXPECT_TRUE(same(a, 0, 0, 0, 0));
    EXPECT_EQ(notices.size(), 0u);
}

TEST(Profile, StartReadsTheFourRangeKeysInOrder) {
    Notices notices;
    writeini("SOFTWARE\\Hostwarden\\lowhost=10 77 0 1\r\n"
             "SOFTWARE\\Hostwarden\\highhost=10 77 0 0\r\n"
             "SOFTWARE\\Hostwarden\\lowhost2=bad\r\n"
             "SOFTWARE\\Hostwarden\\highhost2=10 77 1 0\r\n");
    // High below low: the range adds no record, so no patrol starts.
    ASSERT_NE(makemainwindow(), nullptr);
    EXPECT_TRUE(same(lowhost, 10, 77, 0, 1));
    EXPECT_TRUE(same(highhost, 10, 77, 0, 0));
    EXPECT_TRUE(addrzero(lowhost2));
    EXPECT_TRUE(same(highhost2, 10, 77, 1, 0));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text,
              "Invalid default value <bad> for Registry Key <SOFTWARE\\Hostwarden\\lowhost2>");
    closemainwindow();
}

TEST(Profile, LongValueIsReadAsItsFirst259Characters) {
    std::string value(300, 'x');
    for (int i = 0; i < 300; i++) value[i] = (char)('a' + i % 26);
    writeini("SOFTWARE\\Hostwarden\\Export=" + value + "\r\n");
    char buf[profilebuf + 16];
    memset(buf, '#', sizeof buf);
    ASSERT_TRUE(getprofile(keyexport, buf));
    EXPECT_EQ(std::string(buf), value.substr(0, 259));
    EXPECT_EQ(buf[profilebuf], '#');  // nothing beyond the 260 bytes is touched
}

TEST(Profile, EmptyAndAbsentKeysReadAsNothingAndWritesReadBack) {
    writeini("SOFTWARE\\Hostwarden\\Export=\r\n");
    char buf[profilebuf];
    EXPECT_FALSE(getprofile(keyexport, buf));
    EXPECT_FALSE(getprofile(keylookup, buf));
    EXPECT_TRUE(putprofile(keylookup, "C:\\data\\oui.txt"));
    EXPECT_EQ(profilevalue(keylookup), "C:\\data\\oui.txt");
    EXPECT_TRUE(putprofile(keylookup, "second"));
    EXPECT_EQ(profilevalue(keylookup), "second");
    EXPECT_EQ(readfile("Hostwarden.INI").find("C:\\data"), std::string::npos);
}

TEST(Profile, ChangeOfManyKeysReplacesValuesInPlaceAndKeepsTheOthers) {
    hwtest::writefile("Hostwarden.INI",
                      "[Other]\r\nx=1\r\n[Hostwarden]\r\nsoftware\\hostwarden\\period=5\r\n"
                      "SOFTWARE\\Hostwarden\\Export=C:\\a.txt\r\n");
    ProfileChange change;
    change.put(keyperiod, "7");
    change.put("SOFTWARE\\Hostwarden\\10.77.0.1", "second");
    ASSERT_TRUE(change.end());
    char buf[profilebuf];
    ASSERT_TRUE(getprofile(keyperiod, buf));
    EXPECT_STREQ(buf, "7");
    ASSERT_TRUE(getprofile(keyexport, buf));
    EXPECT_STREQ(buf, "C:\\a.txt");
    ASSERT_TRUE(getprofile("SOFTWARE\\Hostwarden\\10.77.0.1", buf));
    EXPECT_STREQ(buf, "second");
    EXPECT_EQ(GetPrivateProfileIntA("Other", "x", 0, ".\\Hostwarden.INI"), 1);
    std::string file = hwtest::readfile("Hostwarden.INI");
    EXPECT_EQ(file.find("period="), file.rfind("period=")) << file;  // replaced, not added
    EXPECT_EQ(file.find("10.77.0.1="), file.rfind("10.77.0.1=")) << file;
}

// A file dialog may move the current directory while the program runs: every key, and
// the log, still land in the folder the program was started in.
TEST(Profile, SavesAndLogsStayInTheStartFolderWhenTheCurrentDirectoryMoves) {
    Notices notices;
    writeini("SOFTWARE\\Hostwarden\\period=120\r\n");
    ASSERT_NE(makemainwindow(), nullptr);  // no ranges: no patrol
    HostRecord* r = (HostRecord*)listappendafter(hostlisthead(), nullptr, sizeof(HostRecord));
    ASSERT_NE(r, nullptr);
    r->addr = {{10, 77, 3, 4}};
    r->replies = 2;
    r->firstseen = 1700000000;
    char start[MAX_PATH];
    GetCurrentDirectoryA(sizeof start, start);
    ASSERT_TRUE(CreateDirectoryA("elsewhere", nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA("elsewhere"));
    setuplog(true);
    twprintf("a line for the log");
    closemainwindow();
    ASSERT_TRUE(SetCurrentDirectoryA(start));

    std::string ini = readfile("Hostwarden.INI");
    EXPECT_NE(ini.find("SOFTWARE\\Hostwarden\\logs=1"), std::string::npos) << ini;
    EXPECT_NE(ini.find("SOFTWARE\\Hostwarden\\period=120"), std::string::npos) << ini;
    EXPECT_NE(ini.find("SOFTWARE\\Hostwarden\\lowhost=0 0 0 0"), std::string::npos) << ini;
    EXPECT_NE(ini.find("SOFTWARE\\Hostwarden\\10.77.3.4=00 00 00 00 00 00 2 0 1700000000 0"),
              std::string::npos)
        << ini;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("HostwardenLog*.txt", &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << "no log in the start folder";
    FindClose(h);
    EXPECT_NE(readfile(fd.cFileName).find("a line for the log"), std::string::npos);
    h = FindFirstFileA("elsewhere\\*", &fd);
    int entries = 0;
    if (h != INVALID_HANDLE_VALUE) {
        do entries += strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..");
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    EXPECT_EQ(entries, 0) << "something was written into the other folder";
}

}  // namespace
