// The real program's settings across runs: a prepared profile with ranges and logs on,
// the log and record lines it leaves, the window placement over a restart, and the
// Enable Logs switch. Runs in the test's own empty working directory; the ranges lie in
// 10.77.0.x, inside the empty network namespace the tests run in.
#include <gtest/gtest.h>
#include <inttypes.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "driver.h"
#include "hwtest.h"
#include "resources/resource.h"

namespace {

using hwtest::cwd;
using hwtest::profilevalue;

std::vector<std::string> logfiles() {
    std::vector<std::string> v;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("HostwardenLog*.txt", &fd);
    if (h == INVALID_HANDLE_VALUE) return v;
    do v.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return v;
}

// Lines of a file whose every line ends in CR LF; false when one does not.
bool crlflines(const std::string& text, std::vector<std::string>* lines) {
    size_t at = 0;
    while (at < text.size()) {
        size_t lf = text.find('\n', at);
        if (lf == std::string::npos || lf == at || text[lf - 1] != '\r') return false;
        std::string line = text.substr(at, lf - 1 - at);
        if (line.find('\r') != std::string::npos) return false;
        lines->push_back(line);
        at = lf + 1;
    }
    return true;
}

// A record value in exactly the written format: read it, write it again, compare.
bool writtenformat(const std::string& value, unsigned mac[6], int* replies, int* misses,
                   int64_t* firstseen, int64_t* lastreply) {
    char tail;
    if (sscanf(value.c_str(), "%x %x %x %x %x %x %d %d %" SCNd64 " %" SCNd64 "%c", &mac[0],
               &mac[1], &mac[2], &mac[3], &mac[4], &mac[5], replies, misses, firstseen, lastreply,
               &tail) != 10)
        return false;
    char again[128];
    snprintf(again, sizeof again, "%02x %02x %02x %02x %02x %02x %d %d %" PRId64 " %" PRId64,
             mac[0], mac[1], mac[2], mac[3], mac[4], mac[5], *replies, *misses, *firstseen,
             *lastreply);
    return value == again;
}

// Message boxes the program shows (the busy indicator has no message text).
std::vector<drv::Dialog> messageboxes(const drv::Program& p) {
    std::vector<drv::Dialog> v;
    for (const drv::Dialog& d : drv::dialogs(p))
        if (!d.message.empty()) v.push_back(d);
    return v;
}

void closeprogram(drv::Program& p, HWND w) {
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(drv::waitexit(p, 60000), 0);
    if (p.process) drv::kill(p);
}

TEST(E2ESettings, PreparedProfileGivesALogOfThePatrolAndEveryRecordLine) {
    hwtest::writefile("Hostwarden.INI",
                      "[Hostwarden]\r\n"
                      "SOFTWARE\\Hostwarden\\period=3600\r\n"
                      "SOFTWARE\\Hostwarden\\lowhost=10 77 0 1\r\n"
                      "SOFTWARE\\Hostwarden\\highhost=10 77 0 3\r\n"
                      "SOFTWARE\\Hostwarden\\logs=1\r\n"
                      "SOFTWARE\\Hostwarden\\10.77.0.2=02 00 00 00 00 07 5 1 1700000000 1700000500\r\n");
    drv::Program p;
    ASSERT_TRUE(drv::start(cwd(), &p));
    HWND w = drv::mainwindow(p);
    ASSERT_NE(w, nullptr);
    Sleep(1500);
    EXPECT_TRUE(messageboxes(p).empty());
    closeprogram(p, w);

    std::vector<std::string> files = logfiles();
    ASSERT_EQ(files.size(), 1u);
    std::vector<std::string> lines;
    ASSERT_TRUE(crlflines(hwtest::readfile(files[0].c_str()), &lines)) << files[0];
    ASSERT_GE(lines.size(), 3u);
    // The patrol's start line (time and date), then its host lines in list order.
    EXPECT_FALSE(lines[0].empty());
    EXPECT_EQ(lines[1].rfind("10.77.0.1 (00:00:00:00:00:00) [NA] 1 probe ", 0), 0u) << lines[1];
    bool second = false, total = false;
    for (const std::string& l : lines) {
        if (l.rfind("10.77.0.2 (02:00:00:00:00:07) [NA] 7 probes ", 0) == 0) second = true;
        if (l.find(" total repl") != std::string::npos) total = true;
    }
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    EXPECT_TRUE(second) << all;
    EXPECT_TRUE(total) << all;

    for (int o = 1; o <= 3; o++) {
        std::string key = "SOFTWARE\\Hostwarden\\10.77.0." + std::to_string(o);
        std::string value = profilevalue(key);
        unsigned mac[6];
        int replies, misses;
        int64_t firstseen, lastreply;
        ASSERT_TRUE(writtenformat(value, mac, &replies, &misses, &firstseen, &lastreply))
            << key << "=" << value;
        if (o == 2) {
            EXPECT_EQ(value.substr(0, 17), "02 00 00 00 00 07");
            EXPECT_EQ(replies, 5);
            EXPECT_EQ(misses, 2);  // one more than stored: the one patrol
            EXPECT_EQ(firstseen, 1700000000);
            EXPECT_EQ(lastreply, 1700000500);
        } else {
            EXPECT_EQ(value.substr(0, 17), "00 00 00 00 00 00");
            EXPECT_EQ(replies, 0);
            EXPECT_EQ(misses, 1);
            EXPECT_GT(firstseen, 1700000000);
            EXPECT_EQ(lastreply, 0);
        }
    }
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\10.77.0.4"), "<absent>");
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\lowhost"), "10 77 0 1");
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\highhost"), "10 77 0 3");
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\lowhost2"), "0 0 0 0");
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), "3600");
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\logs"), "1");
}

RECT rectof(HWND w) {
    RECT r = {};
    GetWindowRect(w, &r);
    return r;
}

// The placement lives in the registry every test shares: the suite runs alone.
TEST(E2ESettingsSerial, WindowPlacementSurvivesARestart) {
    drv::Program p;
    ASSERT_TRUE(drv::start(cwd(), &p));
    HWND w = drv::mainwindow(p);
    ASSERT_NE(w, nullptr);
    SetWindowPos(w, nullptr, 133, 97, 611, 433, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT moved;
    for (int i = 0; i < 100; i++) {
        moved = rectof(w);
        if (moved.left == 133 && moved.top == 97) break;
        Sleep(20);
    }
    ASSERT_EQ(moved.left, 133);
    ASSERT_EQ(moved.right - moved.left, 611);
    closeprogram(p, w);

    char stored[64] = "";
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Hostwarden", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD size = sizeof stored - 1;
    RegQueryValueExA(key, "", nullptr, nullptr, (BYTE*)stored, &size);
    RegCloseKey(key);
    EXPECT_STREQ(stored, "133 97 744 530");

    drv::Program again;
    ASSERT_TRUE(drv::start(cwd(), &again));
    w = drv::mainwindow(again);
    ASSERT_NE(w, nullptr);
    RECT r = rectof(w);
    EXPECT_EQ(r.left, 133);
    EXPECT_EQ(r.top, 97);
    EXPECT_EQ(r.right, 744);
    EXPECT_EQ(r.bottom, 530);
    EXPECT_FALSE(IsZoomed(w));
    EXPECT_TRUE(messageboxes(again).empty());
    closeprogram(again, w);
}

TEST(E2ESettings, EnableLogsSwitchesTheLogOnAndOff) {
    drv::Program p;
    ASSERT_TRUE(drv::start(cwd(), &p));
    HWND w = drv::mainwindow(p);
    ASSERT_NE(w, nullptr);
    drv::command(w, IDM_LOGS);
    HWND box = drv::waitdialog(p, "Log Open");
    ASSERT_NE(box, nullptr);
    std::vector<std::string> files = logfiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(drv::field(box, 0xFFFF), "Log File [" + files[0] + "] in use");
    drv::press(box, IDOK);
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\logs"), "1");

    drv::command(w, IDM_LOGS);
    std::string value;
    for (int i = 0; i < 100 && (value = profilevalue("SOFTWARE\\Hostwarden\\logs")) != "0"; i++)
        Sleep(20);
    EXPECT_EQ(value, "0");
    EXPECT_TRUE(messageboxes(p).empty());
    // The file was closed by the switch: another process may now remove it.
    EXPECT_TRUE(DeleteFileA(files[0].c_str()));
    closeprogram(p, w);
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\logs"), "0");
    EXPECT_TRUE(logfiles().empty());
}

}  // namespace
