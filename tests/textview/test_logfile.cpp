// The log file: the switch in the profile and the menu check mark, the file's name and
// opening, what it receives, and its closing.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "hwtest.h"
#include "settings/profile.h"
#include "textview/linebuffer.h"
#include "textview/logfile.h"
#include "textview/output.h"
#include "common/winutil.h"
#include "resources/resource.h"

using namespace hwtest;

namespace {

std::string logsvalue() {
    char buf[profilebuf] = "";
    return getprofile(keylogs, buf) ? std::string(buf) : std::string("<absent>");
}

bool checked() {
    return (GetMenuState(GetMenu(mainwindow), IDM_LOGS, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// Log files in the working directory.
std::vector<std::string> logfiles() {
    std::vector<std::string> v;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("HostwardenLog*", &fd);
    if (h == INVALID_HANDLE_VALUE) return v;
    do v.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return v;
}

bool wellformed(const std::string& name) {
    if (name.size() != 13 + 12 + 4 || name.compare(0, 13, "HostwardenLog") ||
        name.compare(25, 4, ".txt"))
        return false;
    for (int i = 13; i < 25; i++)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

void command(int id) { SendMessageA(mainwindow, WM_COMMAND, id, 0); }

TEST(LogName, DateThenTimeInTheirPictures) {
    SYSTEMTIME st = {};
    st.wYear = 2026, st.wMonth = 12, st.wDay = 7, st.wHour = 13, st.wMinute = 5, st.wSecond = 9;
    char name[1024];
    logname(name, sizeof name, &st);
    EXPECT_STREQ(name, "HostwardenLog120726130509.txt");
    st.wYear = 2031, st.wMonth = 1, st.wDay = 31, st.wHour = 0, st.wMinute = 0, st.wSecond = 0;
    logname(name, sizeof name, &st);
    EXPECT_STREQ(name, "HostwardenLog013131000000.txt");
}

TEST(LogFile, FirstToggleWithoutKeyWritesOneAndNamesTheFile) {
    Notices notices;
    ASSERT_NE(makemainwindow(), nullptr);
    EXPECT_FALSE(logging);
    EXPECT_FALSE(checked());
    EXPECT_EQ(logsvalue(), "<absent>");
    command(IDM_LOGS);
    EXPECT_TRUE(logging);
    EXPECT_NE(logfile, nullptr);
    EXPECT_TRUE(checked());
    EXPECT_EQ(logsvalue(), "1");
    std::vector<std::string> files = logfiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(wellformed(files[0])) << files[0];
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Log Open");
    EXPECT_EQ(notices[0].style, 0x2000u);
    EXPECT_EQ(notices[0].text, "Log File [" + files[0] + "] in use");

    twprintf("after the switch");
    command(IDM_LOGS);
    EXPECT_FALSE(logging);
    EXPECT_EQ(logfile, nullptr);
    EXPECT_FALSE(checked());
    EXPECT_EQ(logsvalue(), "0");
    EXPECT_EQ(notices.size(), 1u);
    twprintf("not logged");
    EXPECT_EQ(readfile(files[0].c_str()), "after the switch\r\n");
    closemainwindow();
    EXPECT_EQ(logsvalue(), "0");
}

TEST(LogFile, StartWithLogsOnOpensANewFileSilently) {
    Notices notices;
    writeini("SOFTWARE\\Hostwarden\\logs=1\r\n");
    ASSERT_NE(makemainwindow(), nullptr);
    EXPECT_TRUE(logging);
    EXPECT_NE(logfile, nullptr);
    EXPECT_TRUE(checked());
    EXPECT_EQ(notices.size(), 0u);
    std::vector<std::string> files = logfiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(wellformed(files[0]));
    closemainwindow();
    // The start-up line of a program without ranges is in the log.
    EXPECT_EQ(readfile(files[0].c_str()), "No configuration, use the File / Configuration dialog.\r\n");
    EXPECT_EQ(logsvalue(), "1");
}

TEST(LogFile, AnyNonZeroNumberIsOnAndAWordIsOff) {
    writeini("SOFTWARE\\Hostwarden\\logs=  -2 yes\r\n");
    ASSERT_NE(makemainwindow(), nullptr);
    EXPECT_TRUE(logging);
    closemainwindow();
    EXPECT_TRUE(DeleteFileA(logfiles().at(0).c_str()));

    Notices notices;
    writeini("SOFTWARE\\Hostwarden\\logs=on\r\n");
    ASSERT_NE(makemainwindow(), nullptr);
    EXPECT_FALSE(logging);
    EXPECT_FALSE(checked());
    EXPECT_TRUE(logfiles().empty());
    EXPECT_EQ(notices.size(), 0u);
    closemainwindow();
}

// Directories under every name the next few seconds could give, so the open fails.
void blocklognames() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime, t.HighPart = ft.dwHighDateTime;
    for (int s = 0; s < 8; s++) {
        ULARGE_INTEGER u = t;
        u.QuadPart += (ULONGLONG)s * 10000000;
        ft.dwLowDateTime = u.LowPart, ft.dwHighDateTime = u.HighPart;
        SYSTEMTIME when;
        FileTimeToSystemTime(&ft, &when);
        char name[1024];
        logname(name, sizeof name, &when);
        CreateDirectoryA(name, nullptr);
    }
}

TEST(LogFile, FailedOpenAtStartKeepsTheCheckMarkAndTheSwitchThenTheToggleTurnsItOff) {
    Notices notices;
    writeini("SOFTWARE\\Hostwarden\\logs=1\r\n");
    blocklognames();
    ASSERT_NE(makemainwindow(), nullptr);
    EXPECT_FALSE(logging);
    EXPECT_EQ(logfile, nullptr);
    EXPECT_TRUE(checked());
    EXPECT_EQ(logsvalue(), "1");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].style, 0x2030u);
    EXPECT_EQ(notices[0].text.substr(0, 23), "Log File [HostwardenLog");
    EXPECT_EQ(notices[0].text.substr(notices[0].text.size() - 17), ".txt] Open failed");
    twprintf("goes nowhere");  // no stream: nothing is written, nothing crashes

    notices.clear();
    command(IDM_LOGS);
    EXPECT_FALSE(logging);
    EXPECT_FALSE(checked());
    EXPECT_EQ(logsvalue(), "0");
    EXPECT_EQ(notices.size(), 0u);
    closemainwindow();
}

HGLOBAL WINAPI failingalloc(UINT, SIZE_T) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

TEST(LogFile, LinesTheViewLosesOrClearsStayInTheLogWithCrLf) {
    writeini("SOFTWARE\\Hostwarden\\logs=1\r\n");
    ASSERT_NE(makemainwindow(), nullptr);
    clearoutput();
    std::string name = logfiles().at(0);
    twprintf("line %d", 1);
    {
        Notices notices;
        twalloc = failingalloc;
        EXPECT_EQ(twprintf("not stored"), 0);
        twalloc = GlobalAlloc;
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].text, "Memory allocation failed <8>");
    }
    EXPECT_EQ(viewlines(), (std::vector<std::string>{"line 1"}));
    SendMessageA(mainwindow, WM_COMMAND, IDM_CLEAR, 0);  // Clear Display
    EXPECT_TRUE(viewlines().empty());
    twprintf("last");
    closemainwindow();
    EXPECT_EQ(readfile(name.c_str()),
              "No configuration, use the File / Configuration dialog.\r\nline 1\r\nnot stored\r\nlast\r\n");
}

TEST(LogFile, ClosingTheWindowClosesTheFileOnce) {
    writeini("SOFTWARE\\Hostwarden\\logs=1\r\n");
    ASSERT_NE(makemainwindow(), nullptr);
    std::string name = logfiles().at(0);
    EXPECT_NE(logfile, nullptr);
    closemainwindow();  // WM_CLOSE, then WM_DESTROY: the shutdown runs twice
    EXPECT_FALSE(logging);
    EXPECT_EQ(logfile, nullptr);
    EXPECT_EQ(logsvalue(), "1");
    closelog();  // a further close finds nothing open
    EXPECT_EQ(logfile, nullptr);
    EXPECT_TRUE(DeleteFileA(name.c_str()));
}

TEST(LogFile, SwitchingOnAgainStartsANewFile) {
    Notices notices;
    ASSERT_NE(makemainwindow(), nullptr);
    command(IDM_LOGS);
    twprintf("first file");
    command(IDM_LOGS);
    Sleep(1100);  // a new second, so a new name
    command(IDM_LOGS);
    twprintf("second file");
    closemainwindow();
    std::vector<std::string> files = logfiles();
    ASSERT_EQ(files.size(), 2u);
    std::string a = readfile(files[0].c_str()), b = readfile(files[1].c_str());
    EXPECT_TRUE((a == "first file\r\n" && b == "second file\r\n") ||
                (b == "first file\r\n" && a == "second file\r\n"))
        << a << "|" << b;
}

}  // namespace
