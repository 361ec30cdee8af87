// Hostile values in every key of the settings profile: empty, 10,000 characters, binary
// bytes, numbers out of range and of the wrong sign. The start gives the default or the
// message the rules give, and every record line that was sound stays as it was.
#include "rel.h"
#include "common/clock.h"
#include "common/notices.h"
#include "common/state.h"
#include "settings/parse.h"
#include <functional>
#include "textview/logfile.h"
#include "textview/output.h"

using namespace hwtest;
using namespace rel;

namespace {

const long long now = 1800000000;
// The sound record of 10.77.1.1, and the range that watches .1 and .2.
const char goodline[] = "02 00 00 00 00 01 5 2 1700000000 1700000500";
// The profile's functions read the first of two equal keys: a key under test is left out.
std::string rangekeys(const std::string& without = "") {
    std::string s;
    if (without != "lowhost") s += "SOFTWARE\\Hostwarden\\lowhost=10 77 1 1\r\n";
    if (without != "highhost") s += "SOFTWARE\\Hostwarden\\highhost=10 77 1 2\r\n";
    return s + recordkey(10, 77, 1, 1) + "=" + goodline + "\r\n";
}

std::vector<Hostile> hostiles() {
    return {{"empty", ""},
            {"10000 digits", std::string(10000, '7')},
            {"10000 letters", std::string(10000, 'x')},
            {"binary", binarybytes()},
            {"huge", "99999999999999999999"},
            {"huge four", "99999999999 99999999999 99999999999 99999999999"},
            {"negative", "-1"},
            {"negative four", "-1 -1 -1 -1"},
            {"octet out of range", "10 77 1 256"}};
}

// The sound record as it was written, after a patrol that got no answer (one more miss).
void expectgoodrecord() {
    HostRecord r = {};
    ASSERT_TRUE(parserecordline(profilevalue(recordkey(10, 77, 1, 1)).c_str(), &r));
    const unsigned char mac[6] = {2, 0, 0, 0, 0, 1};
    EXPECT_EQ(memcmp(r.mac, mac, 6), 0);
    EXPECT_EQ(r.replies, 5);
    EXPECT_GE(r.misses, 3);
    EXPECT_EQ(r.firstseen, 1700000000);
    EXPECT_EQ(r.lastreply, 1700000500);
}

class BadProfile : public testing::Test {
protected:
    Notices notices;
    // Notices other than the warning a timer tick gives while a patrol runs (a period
    // of 0 ticks every few milliseconds).
    std::vector<std::string> unexpected() {
        std::vector<std::string> v;
        for (const Notice& n : notices.all())
            if (n.text.find("Already patrolling at ") != 0) v.push_back(n.text);
        return v;
    }
    FixedClock clock{now};
    FakeNetwork network{false};
    // Starts the program over the profile, lets the first patrol end, and closes it.
    void startandclose(const std::string& lines, const std::function<void()>& whileopen = {}) {
        writeini(lines);
        period = 3600;
        lowhost = highhost = lowhost2 = highhost2 = Addr4{};
        ASSERT_NE(makemainwindow(), nullptr);
        waitpatrol();
        if (whileopen) whileopen();
        closemainwindow();
    }
};

TEST_F(BadProfile, PeriodKeyGivesItsLeadingNumberSaturatedAndNoMessage) {
    const struct {
        const char* name;
        int period;
    } want[] = {{"empty", 3600},        {"10000 digits", 2147483647}, {"10000 letters", 0},
                {"binary", 0},          {"huge", 2147483647},         {"huge four", 2147483647},
                {"negative", -1},       {"negative four", -1},        {"octet out of range", 10}};
    int i = 0;
    for (const Hostile& h : hostiles()) {
        SCOPED_TRACE(h.name);
        ASSERT_STREQ(want[i].name, h.name);
        int seen = 0;
        startandclose(rangekeys() + "SOFTWARE\\Hostwarden\\period=" + h.value + "\r\n",
                      [&] { seen = period; });
        EXPECT_EQ(seen, want[i].period);
        EXPECT_TRUE(unexpected().empty());
        // What was in memory is what the close wrote back.
        EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\period"), std::to_string(want[i].period));
        expectgoodrecord();
        notices.clear();
        i++;
    }
}

// Values that are not four numbers are told; four numbers that make no address are not.
bool toldasbad(const std::string& name) {
    return name == "10000 digits" || name == "10000 letters" || name == "binary" ||
           name == "huge" || name == "negative";
}

TEST_F(BadProfile, RangeKeysKeepTheirAddressAndTellOnlyWhenNotFourNumbers) {
    const char* keys[] = {"lowhost2", "highhost2", "lowhost", "highhost"};
    for (const char* key : keys) {
        for (const Hostile& h : hostiles()) {
            SCOPED_TRACE(std::string(key) + ": " + h.name);
            std::string full = std::string("SOFTWARE\\Hostwarden\\") + key;
            Addr4 seen = {{9, 9, 9, 9}};
            startandclose(rangekeys(key) + full + "=" + h.value + "\r\n", [&] {
                seen = !strcmp(key, "lowhost2") ? lowhost2 : !strcmp(key, "highhost2") ? highhost2 : Addr4{};
            });
            EXPECT_TRUE(addrzero(seen));  // kept its value: 0.0.0.0 at start
            if (toldasbad(h.name)) {
                ASSERT_EQ(notices.size(), 1u);
                EXPECT_EQ(notices[0].caption, "Failure");
                EXPECT_EQ(notices[0].text.find("Invalid default value <"), 0u);
                EXPECT_NE(notices[0].text.find("> for Registry Key <" + full + ">"), std::string::npos);
                EXPECT_LE(notices[0].text.size(), 1023u);
            } else {
                EXPECT_TRUE(notices.all().empty());
            }
            if (full.find("host2") != std::string::npos) {
                EXPECT_EQ(profilevalue(full), "0 0 0 0");
                expectgoodrecord();
            } else {
                // Range 1 could not be read: nothing is watched, the sound line stays as it was.
                EXPECT_EQ(profilevalue(recordkey(10, 77, 1, 1)), goodline);
            }
            notices.clear();
        }
    }
}

TEST_F(BadProfile, LogSwitchIsOnForAnyNonZeroNumberAndOffOtherwise) {
    for (const Hostile& h : hostiles()) {
        SCOPED_TRACE(h.name);
        bool on = false;
        startandclose(rangekeys() + "SOFTWARE\\Hostwarden\\logs=" + h.value + "\r\n",
                      [&] { on = logging; });
        std::string n = h.name;
        bool want = !(n == "empty" || n == "10000 letters" || n == "binary");
        EXPECT_EQ(on, want);
        WIN32_FIND_DATAA fd;
        HANDLE f = FindFirstFileA("HostwardenLog*.txt", &fd);
        EXPECT_EQ(f != INVALID_HANDLE_VALUE, want);
        if (f != INVALID_HANDLE_VALUE) {
            FindClose(f);
            DeleteFileA(fd.cFileName);
        }
        EXPECT_TRUE(notices.all().empty());
        expectgoodrecord();
        notices.clear();
    }
}

// Every field of a record line broken in turn: that record starts fresh, its neighbour
// keeps its line, and the next save writes the fresh record over the broken line.
TEST_F(BadProfile, RecordLineWithAnyFieldBrokenStartsFreshAndSparesTheOthers) {
    const char* fields[] = {"02", "00", "5e", "10", "20", "30", "7", "1", "1750000000", "1750000100"};
    std::vector<std::pair<std::string, std::string>> cases;
    for (int i = 0; i < 10; i++) {
        const char* breakers[] = {"", "g", "--1", "0x", "\x01\x02", "%s%n"};
        for (const char* b : breakers) {
            std::string line;
            // "0x" as the last field reads as 0 followed by text, which is ignored.
            if (i == 9 && !strcmp(b, "0x")) continue;
            for (int j = 0; j < 10; j++) {
                if (j == i && !*b) continue;  // the field left out
                line += (j ? " " : "") + std::string(j == i ? b : fields[j]);
            }
            cases.push_back({"field " + std::to_string(i) + " as <" + b + ">", line});
        }
    }
    cases.push_back({"10000 characters", std::string(10000, '1')});
    cases.push_back({"binary", binarybytes()});
    cases.push_back({"empty", ""});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        HostRecord seen = {};
        startandclose(rangekeys() + recordkey(10, 77, 1, 2) + "=" + c.second + "\r\n", [&] {
            HostRecord* r = findrecord(2);
            if (r) seen = *r;
        });
        const unsigned char zero[6] = {0};
        EXPECT_EQ(memcmp(seen.mac, zero, 6), 0);
        EXPECT_EQ(seen.replies, 0);
        EXPECT_EQ(seen.misses, 1);  // the first patrol's miss
        EXPECT_EQ(seen.firstseen, now);
        EXPECT_EQ(seen.lastreply, 0);
        EXPECT_EQ(profilevalue(recordkey(10, 77, 1, 2)), "00 00 00 00 00 00 0 1 1800000000 0");
        EXPECT_TRUE(notices.all().empty());
        expectgoodrecord();
        notices.clear();
    }
}

// Field values at and past their limits convert, saturated; the record lives on.
TEST_F(BadProfile, RecordLineWithExtremeNumbersIsTakenSaturated) {
    std::string line = "1ff -1 0x7f 7fffffff fffffffff 0 99999999999 -99999999999 "
                       "-99999999999999999999 99999999999999999999";
    HostRecord seen = {};
    std::vector<std::string> view;
    startandclose(rangekeys() + recordkey(10, 77, 1, 2) + "=" + line + "\r\n", [&] {
        HostRecord* r = findrecord(2);
        if (r) seen = *r;
        view = viewlines();
    });
    bool printed = false;
    for (const std::string& v : view)
        printed |= v.find("10.77.1.2 (ff:ff:7f:ff:ff:00) [NA] ") == 0 &&
                   v.find(", last reply ") != std::string::npos && v.size() < 260;
    EXPECT_TRUE(printed);
    const unsigned char mac[6] = {0xff, 0xff, 0x7f, 0xff, 0xff, 0x00};
    EXPECT_EQ(memcmp(seen.mac, mac, 6), 0);
    EXPECT_EQ(seen.replies, 2147483647);
    EXPECT_EQ(seen.misses, -2147483647 - 1 + 1);  // one miss added to the lowest value
    EXPECT_EQ(seen.firstseen, -9223372036854775807LL - 1);
    EXPECT_EQ(seen.lastreply, 9223372036854775807LL);
    EXPECT_TRUE(notices.all().empty());
    expectgoodrecord();
}

}  // namespace
