// The host line, the record update and the weekly counts, without windows.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include "monitor/hostline.h"
#include "hwtest.h"

namespace {

const long long T = 1700000000;  // "now" of these tests
const unsigned char macA[6] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
const unsigned char macB[6] = {0x02, 0x77, 0x01, 0x00, 0x00, 0x10};
const unsigned char zero[6] = {0};

using hwtest::record;

std::string line(const HostRecord& r, bool answered, const char* name, long long now = T) {
    char buf[hostlinesize];
    return formathostline(buf, r, r.mac, answered, name, now);
}

TEST(HostLine, ExampleLinesOfTheThreeKinds) {
    HostRecord printer = record(20, macA, 52, 0, T - (26 * 3600 + 5 * 60), T);
    EXPECT_EQ(line(printer, true, "printer"),
              "192.168.1.20 (00:1a:2b:3c:4d:5e) [printer] 52 probes 26:05, 100% replies, "
              "last succeeded");
    HostRecord fresh = record(21, macB, 1, 0, T, 0);
    EXPECT_EQ(line(fresh, true, "alpha"),
              "192.168.1.21 (02:77:01:00:00:10) [alpha] 1 probe 00:00, 100% replies, last "
              "succeeded");
    HostRecord never = record(22, zero, 0, 1, T - 30, 0);
    EXPECT_EQ(line(never, false, "NA"),
              "192.168.1.22 (00:00:00:00:00:00) [NA] 1 probe 00:00, 0% replies, last failed");
    HostRecord gone = record(23, macA, 10, 30, T - 10 * 86400, T - 3 * 86400 - 3600);
    EXPECT_EQ(line(gone, false, "NA"),
              "192.168.1.23 (00:1a:2b:3c:4d:5e) [NA] 40 probes 10 days 25% replies, last reply "
              "3 days ago");
}

TEST(HostLine, AgesBelowTwoDaysInHoursAndMinutesFromTwoDaysInDays) {
    HostRecord r = record(1, macA, 1, 1, T - (2 * 86400 - 1), T - (2 * 86400 - 61));
    std::string s = line(r, false, "NA");
    EXPECT_NE(s.find("2 probes 47:59, 50% replies, last reply 47:58 ago"), std::string::npos) << s;
    r.firstseen = T - 2 * 86400;
    r.lastreply = T - 2 * 86400;
    s = line(r, false, "NA");
    EXPECT_NE(s.find("2 probes 2 days 50% replies, last reply 2 days ago"), std::string::npos) << s;
    r.lastreply = T - 90 * 60;
    EXPECT_NE(line(r, false, "NA").find(", last reply 01:30 ago"), std::string::npos);
}

TEST(HostLine, NegativeAgeOfAClockSetBackShowsInHoursAndMinutes) {
    HostRecord r = record(1, macA, 3, 0, T + 300, T);
    EXPECT_NE(line(r, true, "h").find("3 probes 00:-5, 100% replies"), std::string::npos)
        << line(r, true, "h");
    r.firstseen = T + 5 * 86400 + 7200;
    EXPECT_NE(line(r, true, "h").find("3 probes -122:00, 100% replies"), std::string::npos)
        << line(r, true, "h");
}

TEST(HostLine, PercentageIsComputedInUnsigned32BitArithmetic) {
    HostRecord r = record(1, macA, 2, 1, T, T);
    EXPECT_NE(line(r, true, "h").find(" 66% replies"), std::string::npos);
    // 50000000 * 100 wraps at 2^32 to 705032704; / 50000000 gives 14.
    r = record(1, macA, 50000000, 0, T, T);
    EXPECT_NE(line(r, true, "h").find("50000000 probes 00:00, 14% replies"), std::string::npos)
        << line(r, true, "h");
    r = record(1, macA, 0, 0, T, 0);  // no probes: the divisor becomes 1
    EXPECT_NE(line(r, false, "NA").find("0 probes 00:00, 0% replies, last failed"),
              std::string::npos);
}

TEST(HostLine, OverlongNameIsCutAndTheLineStaysWhole) {
    std::string name(255, 'n');
    HostRecord r = record(254, macA, 123456789, 987654321, T - 400 * 86400, T - 9 * 86400);
    char buf[hostlinesize + 16];
    memset(buf, 'X', sizeof buf);
    formathostline(buf, r, r.mac, false, name.c_str(), T);
    std::string s = buf;
    EXPECT_EQ(buf[hostlinesize], 'X');  // nothing written beyond the buffer
    EXPECT_EQ(s.size(), (size_t)hostlinesize - 1);
    EXPECT_EQ(s.rfind("192.168.1.254 (00:1a:2b:3c:4d:5e) [nnn", 0), 0u);
    // 123456789 * 100 wraps to 3755744308, / 1111111110 = 3.
    const std::string tail = "] 1111111110 probes 400 days 3% replies, last reply 9 days ago";
    ASSERT_GE(s.size(), tail.size());
    EXPECT_EQ(s.substr(s.size() - tail.size()), tail) << s;
    // A name that fits is kept whole.
    std::string fits(120, 'f');
    EXPECT_NE(line(r, true, fits.c_str()).find("[" + fits + "]"), std::string::npos);
}

TEST(RecordUpdate, AnswersMissesAndMacChanges) {
    HostRecord r = record(1, macA, 5, 2, T - 1000, T - 500);
    ProbeOutcome o = updaterecord(&r, true, macA, T);
    EXPECT_FALSE(o.macchanged);
    EXPECT_EQ(r.replies, 6);
    EXPECT_EQ(r.misses, 2);
    EXPECT_EQ(r.lastreply, T);
    EXPECT_EQ(r.firstseen, T - 1000);

    o = updaterecord(&r, false, zero, T + 60);
    EXPECT_EQ(r.misses, 3);
    EXPECT_EQ(r.lastreply, T);

    o = updaterecord(&r, true, macB, T + 120);
    EXPECT_TRUE(o.macchanged);
    EXPECT_EQ(r.replies, 1);
    EXPECT_EQ(r.misses, 0);
    EXPECT_EQ(r.firstseen, T + 120);
    EXPECT_EQ(r.lastreply, T);  // untouched by a change
    EXPECT_EQ(memcmp(r.mac, macA, 6), 0);  // the caller writes the new MAC

    HostRecord fresh = record(2, zero, 0, 0, T, 0);
    EXPECT_TRUE(updaterecord(&fresh, true, macA, T).macchanged);
}

// An append that fails on demand, for the growth failure of the MAC set.
bool failappend = false;
void* testappend(void** head, void* after, size_t size) {
    if (failappend) return nullptr;
    void* e = calloc(1, size);
    if (after)
        ((MacElem*)after)->next = (MacElem*)e;
    else
        *head = e;
    return e;
}
void freeset(PatrolCounts* c) {
    for (MacElem* e = c->macs; e;) {
        MacElem* n = e->next;
        free(e);
        e = n;
    }
}

TEST(WeeklyCount, SevenDayBoundaryAndNeverAnswered) {
    EXPECT_TRUE(activerecord(true, 0, T));
    EXPECT_TRUE(activerecord(false, T - 3 * 86400, T));
    EXPECT_TRUE(activerecord(false, T - (weekseconds - 1), T));
    EXPECT_FALSE(activerecord(false, T - weekseconds, T));
    EXPECT_FALSE(activerecord(false, T - 8 * 86400, T));
    EXPECT_FALSE(activerecord(false, 0, T));
}

TEST(WeeklyCount, OneMacCountedOnceAndRepliesCountedPerRecord) {
    failappend = false;
    PatrolCounts c = {};
    EXPECT_TRUE(countrecord(&c, true, macA, T, T, testappend));
    EXPECT_TRUE(countrecord(&c, true, macA, T, T, testappend));    // same MAC again
    EXPECT_TRUE(countrecord(&c, false, macB, T - 86400, T, testappend));  // silent, recent
    EXPECT_TRUE(countrecord(&c, false, zero, 0, T, testappend));   // never answered
    EXPECT_EQ(c.totalreplies, 2);
    EXPECT_EQ(c.subnetreplies, 2);
    EXPECT_EQ(c.totalweek, 2);
    EXPECT_EQ(c.subnetweek, 2);
    // Next subnet: the MAC met before is not counted again there.
    c.subnetreplies = c.subnetweek = 0;
    EXPECT_TRUE(countrecord(&c, true, macA, T, T, testappend));
    EXPECT_EQ(c.subnetreplies, 1);
    EXPECT_EQ(c.subnetweek, 0);
    EXPECT_EQ(c.totalweek, 2);
    freeset(&c);
}

TEST(WeeklyCount, SetThatCannotGrowFailsWithoutCounting) {
    PatrolCounts c = {};
    failappend = true;
    EXPECT_FALSE(countrecord(&c, true, macA, T, T, testappend));
    EXPECT_EQ(c.totalweek, 0);
    EXPECT_EQ(c.totalreplies, 1);
    EXPECT_EQ(c.macs, nullptr);
    failappend = false;
}

TEST(Summary, EndingsAndSubnetBoundaries) {
    EXPECT_STREQ(replyending(1), "y");
    EXPECT_STREQ(replyending(0), "ies");
    EXPECT_STREQ(replyending(2), "ies");
    EXPECT_STREQ(replyending(-1), "ies");
    HostRecord a = record(9, zero, 0, 0, T, 0), b = record(10, zero, 0, 0, T, 0),
               c = record(10, zero, 0, 0, T, 0);
    c.addr.o[2] = 2;
    a.next = &b;
    b.next = &c;
    EXPECT_FALSE(lastinsubnet(a));
    EXPECT_TRUE(lastinsubnet(b));
    EXPECT_TRUE(lastinsubnet(c));
}

}  // namespace
