// The patrol in-process, with a scripted probe and scripted reverse lookups.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <algorithm>
#include <map>
#include <string>
#include <vector>
#include "common/notices.h"
#include "common/state.h"
#include "hwtest.h"
#include "events/events.h"
#include "events/journal.h"
#include "settings/profile.h"
#include "monitor/hostlist.h"
#include "monitor/nameahead.h"
#include "monitor/namecache.h"
#include "monitor/patrol.h"
#include "monitor/probe.h"
#include "monitor/probeahead.h"
#include "app/commands.h"
#include "common/winutil.h"
#include "monitor/sendarp.h"
#include "resources/resource.h"
#include <system_error>

namespace {

const long long T = 1700000000;

struct Script {
    std::map<int, std::string> macs;  // last octet + 256 * third -> "aa:bb:..", absent = silent
    std::vector<std::string> probed;  // in order
    int stopafter = -1;               // set stoprequest after this many probes
    int delayms = 0;
};
Script script;

int key(const Addr4& a) { return a.o[2] * 256 + a.o[3]; }

bool scripted(const Addr4& a, unsigned char mac[6]) {
    char text[32];
    snprintf(text, sizeof text, "%d.%d.%d.%d", a.o[0], a.o[1], a.o[2], a.o[3]);
    script.probed.push_back(text);
    if (script.delayms) Sleep(script.delayms);
    if ((int)script.probed.size() == script.stopafter) stoprequest = true;
    auto it = script.macs.find(key(a));
    if (it == script.macs.end()) return false;
    unsigned v[6];
    sscanf(it->second.c_str(), "%x:%x:%x:%x:%x:%x", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]);
    for (int i = 0; i < 6; i++) mac[i] = (unsigned char)v[i];
    return true;
}

std::map<int, std::string> names;  // as for the script; absent = lookup fails
std::atomic<int> lookups(0);
bool named(const Addr4& a, char* name, size_t size) {
    auto it = names.find(key(a));
    if (it == names.end()) return false;
    snprintf(name, size, "%s", it->second.c_str());
    return true;
}
bool scriptedlookup(const Addr4& a, char* name, size_t size) {
    lookups++;
    return named(a, name, size);
}

// A resolver that does not answer until `hang` is set.
HANDLE hang = nullptr;
bool hunglookup(const Addr4& a, char* name, size_t size) {
    lookups++;
    WaitForSingleObject(hang, 20000);
    return named(a, name, size);
}

class Patrol : public testing::Test {
protected:
    hwtest::FixedClock clock{T};
    void SetUp() override {
        script = Script();
        names.clear();
        lookups = 0;
        hang = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        probehook = scripted;
        reverselookup = scriptedlookup;
    }
    void TearDown() override {
        // Flags a test set by hand would make the shutdown wait for a patrol that is not there.
        if (!patrolthreadrunning) patrolling = false;
        stoprequest = suspended = false;
        hwtest::closemainwindow();
        probehook = nullptr;
        // Lookups still hung end now, unseen.
        SetEvent(hang);
        for (int i = 0; i < 200 && namethreadsalive(); i++) Sleep(10);
        CloseHandle(hang);
        reverselookup = resolvename;
    }
    bool patrolthreadrunning = false;
    // The main window on an empty profile, then records for 10.77.S.O, one per entry.
    void window(const std::vector<std::pair<int, int>>& addrs) {
        ASSERT_NE(hwtest::makemainwindow(), nullptr);
        HostRecord* last = nullptr;
        for (auto& a : addrs) {
            HostRecord* r = (HostRecord*)listappendafter(hostlisthead(), last, sizeof(HostRecord));
            r->addr = {{10, 77, (unsigned char)a.first, (unsigned char)a.second}};
            r->firstseen = T;
            last = r;
        }
    }
    HostRecord* rec(int i) {
        HostRecord* r = hostlist;
        while (i-- > 0) r = r->next;
        return r;
    }
    // Lines after the "No configuration" line of the creation and the patrol's start line.
    std::vector<std::string> patrollines() {
        std::vector<std::string> v = hwtest::viewlines();
        size_t i = 0;
        while (i < v.size() && v[i] != "No configuration, use the File / Configuration dialog.") i++;
        return std::vector<std::string>(v.begin() + std::min(v.size(), i + 2), v.end());
    }
};

TEST_F(Patrol, LinesCountsAndRecordsOfOnePatrolOverTwoSubnets) {
    window({{1, 10}, {1, 11}, {1, 12}, {2, 20}, {2, 21}});
    script.macs = {{256 + 10, "02:77:01:00:00:10"}, {256 + 11, "02:77:01:00:00:11"},
                   {512 + 21, "02:77:01:00:00:10"}};  // .2.21 answers with .1.10's MAC
    names = {{256 + 10, "alpha.lab"}, {512 + 21, "delta.lab"}};
    rec(1)->replies = 4;  // .1.11 answered before with the same MAC, 2 days ago
    memcpy(rec(1)->mac, "\x02\x77\x01\x00\x00\x11", 6);
    rec(1)->firstseen = T - 3 * 86400;
    rec(1)->lastreply = T - 2 * 86400;
    rec(2)->misses = 2;  // .1.12 silent now, answered 3 days ago
    memcpy(rec(2)->mac, "\x02\x77\x01\x00\x00\x12", 6);
    rec(2)->lastreply = T - 3 * 86400;
    rec(2)->firstseen = T - 4 * 86400;
    rec(3)->lastreply = T - 8 * 86400;  // .2.20 silent for 8 days: not in the week

    patrolthread();
    std::vector<std::string> want = {
        "MAC address changed for 10.77.1.10",
        "10.77.1.10 (02:77:01:00:00:10) [alpha.lab] 1 probe 00:00, 100% replies, last succeeded",
        "10.77.1.11 (02:77:01:00:00:11) [10.77.1.11] 5 probes 3 days 100% replies, last succeeded",
        "10.77.1.12 (02:77:01:00:00:12) [NA] 3 probes 4 days 0% replies, last reply 3 days ago",
        "2 replies in subnet",
        "3 replies in the last week",
        "10.77.2.20 (00:00:00:00:00:00) [NA] 1 probe 00:00, 0% replies, last reply 8 days ago",
        "MAC address changed for 10.77.2.21",
        "10.77.2.21 (02:77:01:00:00:10) [delta.lab] 1 probe 00:00, 100% replies, last succeeded",
        "1 reply in subnet",
        "0 replies in the last week",
        "3 total replies",
        "3 replies in the last week",
    };
    EXPECT_EQ(patrollines(), want);
    EXPECT_EQ(script.probed.size(), 5u);
    EXPECT_FALSE(patrolling);
    EXPECT_EQ(rec(1)->lastreply, T);
    EXPECT_EQ(rec(2)->misses, 3);
    // Saved: each record's line in the profile.
    std::string ini = hwtest::readfile("Hostwarden.INI");
    EXPECT_NE(ini.find("SOFTWARE\\Hostwarden\\10.77.1.11=02 77 01 00 00 11 5 0 1699740800 1700000000"),
              std::string::npos) << ini;
    EXPECT_NE(ini.find("SOFTWARE\\Hostwarden\\10.77.2.21=02 77 01 00 00 10 1 0 1700000000 0"),
              std::string::npos) << ini;
}

TEST_F(Patrol, StartLineIsTheLocalTimeAndDateOfTheProgramClock) {
    window({{1, 10}});
    patrolthread();
    std::vector<std::string> v = hwtest::viewlines();
    ASSERT_GE(v.size(), 2u);
    SYSTEMTIME st;
    FILETIME ft, lt;
    ULARGE_INTEGER u;
    u.QuadPart = (unsigned long long)T * 10000000ull + 116444736000000000ull;
    ft.dwLowDateTime = u.LowPart;
    ft.dwHighDateTime = u.HighPart;
    FileTimeToLocalFileTime(&ft, &lt);
    FileTimeToSystemTime(&lt, &st);
    char t[260], d[260];
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, t, sizeof t);
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, d, sizeof d);
    EXPECT_EQ(v[1], std::string(t) + " " + d);
    EXPECT_NE(v[1].find("2023"), std::string::npos) << v[1];  // 1700000000 is in Nov 2023
}

TEST_F(Patrol, OneReplyAndNoneInSubnetSummaries) {
    window({{1, 10}, {2, 20}});
    script.macs = {{256 + 10, "02:77:01:00:00:10"}};
    patrolthread();
    std::vector<std::string> v = patrollines();
    ASSERT_EQ(v.size(), 9u);
    EXPECT_EQ(v[2], "1 reply in subnet");
    EXPECT_EQ(v[3], "1 reply in the last week");
    EXPECT_EQ(v[5], "0 replies in subnet");
    EXPECT_EQ(v[6], "0 replies in the last week");
    EXPECT_EQ(v[7], "1 total reply");
    EXPECT_EQ(v[8], "1 reply in the last week");
}

TEST_F(Patrol, StopInTheMiddleOfASubnetSkipsItsSummaryButNotTheTotals) {
    window({{1, 10}, {1, 11}, {1, 12}, {2, 20}});
    script.macs = {{256 + 10, "02:77:01:00:00:10"}};
    script.stopafter = 2;
    patrolthread();
    std::vector<std::string> v = patrollines();
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(v[2].rfind("10.77.1.11 ", 0), 0u);
    EXPECT_EQ(v[3], "1 total reply");
    EXPECT_EQ(v[4], "1 reply in the last week");
    EXPECT_EQ(script.probed.size(), 2u);
    EXPECT_FALSE(patrolling);
    EXPECT_FALSE(stoprequest);
    EXPECT_EQ(rec(2)->misses, 0);  // never probed
    EXPECT_NE(hwtest::readfile("Hostwarden.INI").find("SOFTWARE\\Hostwarden\\10.77.1.11="),
              std::string::npos);
}

TEST_F(Patrol, FoundNamesAreCachedFailedLookupsAreNot) {
    window({{5, 10}, {5, 11}});
    script.macs = {{5 * 256 + 10, "02:77:01:00:00:10"}, {5 * 256 + 11, "02:77:01:00:00:11"}};
    names = {{5 * 256 + 10, "alpha.lab"}};
    patrolthread();
    EXPECT_EQ(lookups, 2);
    names = {{5 * 256 + 10, "renamed.lab"}, {5 * 256 + 11, "bravo.lab"}};
    patrolthread();
    EXPECT_EQ(lookups, 3);  // .10 from the cache, .11 asked again
    std::vector<std::string> v = hwtest::viewlines();
    int cached = 0, found = 0;
    for (auto& l : v) {
        if (l.find("[alpha.lab]") != std::string::npos) cached++;
        if (l.find("[bravo.lab]") != std::string::npos) found++;
        EXPECT_EQ(l.find("renamed"), std::string::npos);
    }
    EXPECT_EQ(cached, 2);
    EXPECT_EQ(found, 1);
}

TEST_F(Patrol, OverlongNameGivesAWellFormedLine) {
    window({{6, 10}});
    script.macs = {{6 * 256 + 10, "02:77:01:00:00:10"}};
    names = {{6 * 256 + 10, std::string(255, 'x')}};
    patrolthread();
    std::vector<std::string> v = patrollines();
    ASSERT_GE(v.size(), 2u);
    EXPECT_EQ(v[1].size(), 259u);
    EXPECT_EQ(v[1].rfind("10.77.6.10 (02:77:01:00:00:10) [xxx", 0), 0u);
    const std::string tail = "xxx] 1 probe 00:00, 100% replies, last succeeded";
    EXPECT_EQ(v[1].substr(v[1].size() - tail.size()), tail);
}

TEST_F(Patrol, ThreadStartedByStartpatrolRunsAndClearsTheFlag) {
    window({{1, 10}, {1, 11}});
    startpatrol();
    for (int i = 0; i < 200 && (patrolling || script.probed.size() < 2); i++) Sleep(10);
    EXPECT_FALSE(patrolling);
    EXPECT_EQ(script.probed.size(), 2u);
    EXPECT_EQ(patrollines().back(), "0 replies in the last week");
}

// A Stop given as a patrol ends, once it has cleared its own Stop but while it still
// shows as patrolling, belongs to that patrol: the next one, started by the timer a
// period later, must not quit at its first record.
TEST_F(Patrol, AStopGivenAsAPatrolEndsDoesNotStopTheNext) {
    window({{1, 10}, {1, 11}, {1, 12}});
    patrolendhook = [] { dispatchcommand(mainwindow, IDM_STOPPATROL); };
    patrolthread();
    patrolendhook = nullptr;
    ASSERT_EQ(script.probed.size(), 3u);
    startpatrol();
    for (int i = 0; i < 200 && patrolling; i++) hwtest::pump(10);
    EXPECT_EQ(script.probed.size(), 6u);
    EXPECT_EQ(patrollines().back(), "0 replies in the last week");
}

// A name belongs to the machine that answered: once another MAC answers at an address,
// its cached name is forgotten and the new machine's looked up.
TEST_F(Patrol, ANewMacAtAnAddressHasItsNameLookedUpAgain) {
    window({{5, 10}});
    script.macs = {{5 * 256 + 10, "02:77:01:00:00:10"}};
    names = {{5 * 256 + 10, "old.lab"}};
    patrolthread();
    names = {{5 * 256 + 10, "new.lab"}};
    script.macs = {{5 * 256 + 10, "02:77:01:00:00:99"}};
    patrolthread();
    patrolthread();  // the same new MAC: its name from the cache
    std::vector<std::string> shown;
    for (const std::string& l : hwtest::viewlines())
        if (l.rfind("10.77.5.10 (", 0) == 0) shown.push_back(l.substr(0, l.find(']') + 1));
    EXPECT_EQ(shown, std::vector<std::string>({"10.77.5.10 (02:77:01:00:00:10) [old.lab]",
                                               "10.77.5.10 (02:77:01:00:00:99) [new.lab]",
                                               "10.77.5.10 (02:77:01:00:00:99) [new.lab]"}));
    EXPECT_EQ(lookups, 2);
}

// Stop and close while the resolver hangs: the patrol ends within a second, the record
// whose name was awaited untouched; the next patrol starts at once and takes the same
// lookup's result when it comes.
TEST_F(Patrol, StopAndCloseDuringAHungLookupEndWithinASecond) {
    window({{1, 10}, {1, 11}});
    script.macs = {{256 + 10, "02:77:01:00:00:10"}, {256 + 11, "02:77:01:00:00:11"}};
    names = {{256 + 10, "alpha.lab"}};
    reverselookup = hunglookup;
    patrolthreadrunning = true;
    startpatrol();
    for (int i = 0; i < 500 && lookups < 1; i++) hwtest::pump(10);
    ASSERT_EQ(lookups, 1);
    DWORD t0 = GetTickCount();
    dispatchcommand(mainwindow, IDM_STOPPATROL);
    for (int i = 0; i < 200 && patrolling; i++) hwtest::pump(5);
    EXPECT_FALSE(patrolling);
    EXPECT_LT(GetTickCount() - t0, 1000u);
    EXPECT_EQ(patrollines(), std::vector<std::string>({"0 total replies", "0 replies in the last week"}));
    EXPECT_EQ(rec(0)->replies, 0);

    hwtest::Notices notices;  // no warning: the next patrol starts
    startpatrol();
    for (int i = 0; i < 500 && script.probed.size() < 2; i++) hwtest::pump(10);
    hwtest::pump(100);
    EXPECT_TRUE(patrolling);  // .10's name awaited: the lookup still hung, joined
    EXPECT_EQ(lookups, 1);
    SetEvent(hang);
    for (int i = 0; i < 500 && patrolling; i++) hwtest::pump(10);
    std::vector<std::string> v = patrollines();
    EXPECT_NE(std::find(v.begin(), v.end(),
                        "10.77.1.10 (02:77:01:00:00:10) [alpha.lab] 1 probe 00:00, 100% replies, last succeeded"),
              v.end());
    EXPECT_TRUE(notices.all().empty());

    ResetEvent(hang);
    forgetname(rec(0)->addr);
    lookups = 0;
    startpatrol();
    for (int i = 0; i < 500 && lookups < 1; i++) hwtest::pump(10);
    ASSERT_EQ(lookups, 1);
    t0 = GetTickCount();
    hwtest::closemainwindow();
    EXPECT_LT(GetTickCount() - t0, 1000u);
    EXPECT_FALSE(patrolling);
}

TEST_F(Patrol, ASecondBodyEndsAtOnceWhileOneRuns) {
    window({{1, 10}});
    patrolling = true;  // as if a patrol ran
    size_t before = hwtest::viewlines().size();
    patrolthread();
    EXPECT_EQ(hwtest::viewlines().size(), before);
    EXPECT_TRUE(script.probed.empty());
}

// The warning box: a tick that arrives while it is open does not open another.
int reentries = 0;
std::vector<std::string> warnings;
void warningbox(const char* caption, const char* text, unsigned) {
    warnings.push_back(std::string(caption) + "|" + text);
    if (reentries++ == 0) startpatrol();  // a timer tick while the box is on screen
}

TEST_F(Patrol, WarningBoxIsNotReopenedWhileOpenAndSuspendSkipsOneTick) {
    window({{1, 10}});
    patrolling = true;
    reentries = 0;
    warnings.clear();
    noticehook = warningbox;
    startpatrol();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind("Failure|Already patrolling at ", 0), 0u) << warnings[0];
    EXPECT_EQ(warnings[0].back(), '!');
    EXPECT_FALSE(warningshown);

    suspended = true;
    startpatrol();  // the first tick after a suspend: no warning
    EXPECT_EQ(warnings.size(), 1u);
    EXPECT_FALSE(suspended);
    startpatrol();  // the next one warns
    EXPECT_EQ(warnings.size(), 2u);
    noticehook = nullptr;
    EXPECT_TRUE(script.probed.empty());
}

TEST_F(Patrol, CommandsThatChangeRecordsAreRefusedDuringAPatrol) {
    window({{1, 10}});
    hwtest::Notices notices;
    patrolling = true;
    const int refused[] = {IDM_CONFIG,        IDM_CLEAR,        IDM_DUMPARP,    IDM_EXPORTSUMMARY,
                           IDM_EXPORTALL,     IDM_RESETRECORDS, IDM_REPORTTIME, IDM_REPORTREPLIES};
    for (int id : refused) dispatchcommand(mainwindow, id);
    ASSERT_EQ(notices.size(), 8u);
    for (size_t i = 0; i < notices.size(); i++) {
        EXPECT_EQ(notices[i].caption, "Failure");
        EXPECT_EQ(notices[i].text, "Can't do that while patrolling!");
    }
    dispatchcommand(mainwindow, IDM_STOPPATROL);
    EXPECT_TRUE(stoprequest);
    EXPECT_EQ(notices.size(), 8u);
}

TEST_F(Patrol, ClosingDuringAPatrolEndsItAfterTheCurrentAddressAndSaves) {
    // Ranges in the profile, so that the creation sequence starts the patrol on its thread.
    hwtest::writefile("Hostwarden.INI",
                      "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\lowhost=10 77 1 1\r\n"
                      "SOFTWARE\\Hostwarden\\highhost=10 77 1 40\r\n"
                      "SOFTWARE\\Hostwarden\\logs=1\r\n");
    script.delayms = 50;
    script.macs = {{256 + 1, "02:77:01:00:00:01"}};
    ASSERT_NE(hwtest::makemainwindow(), nullptr);
    for (int i = 0; i < 100 && script.probed.size() < 3; i++) Sleep(10);
    ASSERT_TRUE(patrolling);
    hwtest::closemainwindow();
    EXPECT_FALSE(patrolling);
    size_t probed = script.probed.size();
    EXPECT_GE(probed, 3u);
    EXPECT_LT(probed, 40u);
    Sleep(200);
    EXPECT_EQ(script.probed.size(), probed);  // nothing probed after the end
    EXPECT_EQ(hostlist, nullptr);
    // The patrol's lines went to the log, the closing ones included.
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("HostwardenLog*.txt", &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    std::string log = hwtest::readfile(fd.cFileName);
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());  // a text-mode file
    EXPECT_NE(log.find("10.77.1.1 (02:77:01:00:00:01) [10.77.1.1] 1 probe"), std::string::npos) << log;
    EXPECT_NE(log.find("1 total reply\n1 reply in the last week"), std::string::npos) << log;
    EXPECT_EQ(log.find("in subnet"), std::string::npos);
    // Saved, with one miss for each address probed after the first, none for the rest.
    std::string ini = hwtest::readfile("Hostwarden.INI");
    char probedkey[96], unprobedkey[96];
    snprintf(probedkey, sizeof probedkey, "SOFTWARE\\Hostwarden\\10.77.1.%d=00 00 00 00 00 00 0 1 ",
             (int)probed);
    snprintf(unprobedkey, sizeof unprobedkey, "SOFTWARE\\Hostwarden\\10.77.1.%d=00 00 00 00 00 00 0 0 ",
             (int)probed + 1);
    EXPECT_NE(ini.find(probedkey), std::string::npos) << ini;
    EXPECT_NE(ini.find(unprobedkey), std::string::npos) << ini;
}

// The probes cannot start (no thread to be had): the patrol says so, ends as a stopped
// patrol does, with its closing lines and the save, and the program goes on.
void nothread(std::function<void()>) {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                            "cannot start a probe thread");
}
unsigned long silentarp(const Addr4&, unsigned char[6]) { return ERROR_BAD_NET_NAME; }

TEST_F(Patrol, ProbesThatCannotStartStopThePatrolWithAMessageAndTheSave) {
    hwtest::Notices notices;
    window({{1, 10}, {1, 11}});
    probehook = nullptr;  // the probes ahead, with a SendARP that never answers
    aheadarp = silentarp;
    aheadspawn = nothread;
    patrolthread();
    aheadspawn = spawnthread;
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Error");
    EXPECT_EQ(notices[0].text.rfind("Patrol stopped: cannot start a probe thread", 0), 0u)
        << notices[0].text;
    EXPECT_EQ(patrollines(), std::vector<std::string>({"0 total replies", "0 replies in the last week"}));
    EXPECT_FALSE(patrolling);
    std::string ini = hwtest::readfile("Hostwarden.INI");
    EXPECT_NE(ini.find("SOFTWARE\\Hostwarden\\10.77.1.11=00 00 00 00 00 00 0 0"), std::string::npos) << ini;

    patrolthread();  // threads again: the next patrol runs in full
    aheadarp = sendarp;
    EXPECT_EQ(notices.size(), 1u);
    std::vector<std::string> lines = patrollines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "0 total replies");
    EXPECT_EQ(rec(1)->misses, 1);
}

// The busy indicator of a save on another thread than this one, owned by the main window.
BOOL CALLBACK findsavingindicator(HWND h, LPARAM p) {
    char cls[16] = "";
    GetClassNameA(h, cls, sizeof cls);
    if (strcmp(cls, "#32770") || GetWindow(h, GW_OWNER) != mainwindow ||
        GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId())
        return TRUE;
    *(HWND*)p = h;
    return FALSE;
}
HWND savingindicator() {
    HWND found = nullptr;
    EnumWindows(findsavingindicator, (LPARAM)&found);
    return found;
}

// Closing while a patrol saves its 512 records: the program has ended its shutdown
// within a second, and every record is saved.
// The events' times as in a zone one hour east of UTC, for the test's length.
struct OneHourEast {
    int (*kept)(long long) = eventoffset;
    OneHourEast() { eventoffset = [](long long) { return 60; }; }
    ~OneHourEast() { eventoffset = kept; }
};

// The journal's lines once every event handed over has gone through.
std::vector<std::string> journallines() {
    EXPECT_TRUE(eventssettle(5000));
    std::string text = hwtest::readfile(journalpath().c_str());
    std::vector<std::string> v;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        v.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return v;
}

// The first patrol of an empty profile learns the machines and tells nothing; then a
// MAC change and a machine never seen make one event each, in the journal and the
// notice's lines, and every machine seen is in the profile's section for the next start.
TEST_F(Patrol, ABaselineThenOneEventForAMacChangeAndOneForANewMachine) {
    OneHourEast zone;
    window({{1, 10}, {1, 11}, {1, 12}});
    script.macs = {{256 + 10, "02:77:01:00:00:10"}, {256 + 11, "02:77:01:00:00:11"}};
    names = {{256 + 10, "alpha.lab"}};
    patrolthread();
    EXPECT_TRUE(eventssettle(5000));
    EXPECT_EQ(GetFileAttributesA(journalpath().c_str()), INVALID_FILE_ATTRIBUTES) << "the baseline wrote events";
    takechanges();

    script.macs = {{256 + 10, "02:77:ee:00:00:10"}, {256 + 11, "02:77:01:00:00:11"}, {256 + 12, "02:77:01:00:00:12"}};
    patrolthread();
    std::vector<std::string> want = {
        "time,kind,address,old MAC,new MAC,name,maker",
        "2023-11-14T23:13:20+01:00,MAC changed,10.77.1.10,02:77:01:00:00:10,02:77:ee:00:00:10,alpha.lab,",
        "2023-11-14T23:13:20+01:00,new machine,10.77.1.12,,02:77:01:00:00:12,10.77.1.12,",
    };
    EXPECT_EQ(journallines(), want);
    std::vector<std::string> notice = {"MAC address changed for 10.77.1.10", "New machine at 10.77.1.12"};
    EXPECT_EQ(takechanges(), notice);
    std::vector<std::pair<std::string, std::string>> section = {
        {"1", "02 77 01 00 00 10 1700000000"}, {"2", "02 77 01 00 00 11 1700000000"},
        {"next", "5"}, {"3", "02 77 ee 00 00 10 1700000000"}, {"4", "02 77 01 00 00 12 1700000000"}};
    EXPECT_EQ(profilesettle(5000), savelanded);
    EXPECT_EQ(profilesection("Hostwarden machines"), section);
}

// A killed run's last line cut inside a quoted name is closed before the next line, so
// that a spreadsheet does not read the next event into that name.
TEST_F(Patrol, AJournalLineCutByAKillIsEndedBeforeTheNextEvent) {
    OneHourEast zone;
    hwtest::writefile("Hostwarden.INI", "[Hostwarden machines]\r\n1=02 77 01 00 00 10 1600000000\r\nnext=2\r\n");
    hwtest::writefile(journalname, "time,kind,address,old MAC,new MAC,name,maker\r\n2023-11-14T23:00:00+01:00,new machine,10.77.1.9,,02:77:01:00:00:09,\"a,b");
    window({{1, 11}});
    script.macs = {{256 + 11, "02:77:01:00:00:11"}};
    patrolthread();
    std::vector<std::string> want = {
        "time,kind,address,old MAC,new MAC,name,maker",
        "2023-11-14T23:00:00+01:00,new machine,10.77.1.9,,02:77:01:00:00:09,\"a,b\"",
        "2023-11-14T23:13:20+01:00,new machine,10.77.1.11,,02:77:01:00:00:11,10.77.1.11,",
    };
    EXPECT_EQ(journallines(), want);
}

TEST_F(Patrol, CloseDuringTheSaveOf512RecordsEndsWithinASecond) {
    std::vector<std::pair<int, int>> addrs;
    for (int s = 1; s <= 2; s++)
        for (int o = 0; o < 256; o++) addrs.push_back({s, o});
    window(addrs);
    patrolthreadrunning = true;
    startpatrol();
    HWND busy = nullptr;
    for (DWORD t0 = GetTickCount(); !busy && GetTickCount() - t0 < 30000;) {
        hwtest::pump();
        busy = savingindicator();
    }
    ASSERT_NE(busy, nullptr) << "the save was not seen";
    DWORD start = GetTickCount();
    hwtest::closemainwindow();
    DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 1000u);
    EXPECT_FALSE(patrolling);
    EXPECT_FALSE(IsWindow(busy));
    std::string ini = hwtest::readfile("Hostwarden.INI");
    size_t records = 0;
    for (size_t at = ini.find("SOFTWARE\\Hostwarden\\10.77."); at != std::string::npos;
         at = ini.find("SOFTWARE\\Hostwarden\\10.77.", at + 1))
        records++;
    EXPECT_EQ(records, 512u);
    printf("[ timing ] close during the save: %lu ms\n", (unsigned long)took);
}

}  // namespace
