// Report, summary, ARP and lookup lines, the report orders and the path rules.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include "reports/summaryline.h"
#include "hwtest.h"
#include "reports/ouitable.h"
#include "reports/pathrules.h"
#include "reports/reportfmt.h"
#include "reports/arpline.h"

namespace {

const long long T0 = 1700000000;
long long fakenow = T0;
long long clock() { return fakenow; }

HostRecord record(int last, int replies, int misses, long long firstseen, long long lastreply) {
    const unsigned char mac[6] = {0x00, 0x0d, 0x93, 0x4a, 0x11, 0x2c};
    return hwtest::record(last, mac, replies, misses, firstseen, lastreply);
}

std::string reportline(const HostRecord& r, int kind) {
    char buf[1024];
    formatreportline(buf, sizeof buf, r, kind, clock);
    return buf;
}

std::string summary(const HostRecord& r) {
    char buf[1024];
    formatsummaryline(buf, sizeof buf, r, fakenow);
    return buf;
}

const long long M = 60, H = 3600, D = 86400;

TEST(ReportLine, ExamplesByRepliesAndByTime) {
    HostRecord r = record(20, 1, 0, T0 - (3 * D + 4 * H + 7 * M), T0 - 42 * M);
    EXPECT_EQ(reportline(r, replysort),
              "192.168.1.20 (00:0d:93:4a:11:2c) 1 reply, last reply 0 days 00:42 ago");
    EXPECT_EQ(reportline(r, timesort),
              "192.168.1.20 (00:0d:93:4a:11:2c) 3 days 04:07, last reply 0 days 00:42 ago");
}

TEST(ReportLine, ReplyCountEndings) {
    EXPECT_EQ(reportline(record(20, 0, 0, T0, 0), replysort),
              "192.168.1.20 (00:0d:93:4a:11:2c) 0 replies");
    EXPECT_EQ(reportline(record(20, 2, 0, T0, 0), replysort),
              "192.168.1.20 (00:0d:93:4a:11:2c) 2 replies");
}

TEST(ReportLine, TimeRegisteredSplitsIntoDaysHoursMinutes) {
    struct {
        long long d;
        const char* text;
    } cases[] = {
        {D, "1 day 00:00"},          {59, "0 days 00:00"},
        {25 * H + 5 * M, "1 day 01:05"}, {2 * D + 23 * H + 59 * M + 59, "2 days 23:59"},
        {-90, "0 days 00:-1"},       {-(D + H + M), "-1 days -1:-1"},
    };
    for (auto& c : cases)
        EXPECT_EQ(reportline(record(7, 0, 0, T0 - c.d, 0), timesort),
                  std::string("192.168.1.7 (00:0d:93:4a:11:2c) ") + c.text)
            << c.d;
}

TEST(ReportLine, NoLastReplyTextWhenNeverAnswered) {
    std::string line = reportline(record(9, 3, 0, T0 - D, 0), timesort);
    EXPECT_EQ(line, "192.168.1.9 (00:0d:93:4a:11:2c) 1 day 00:00");
}

TEST(ReportLine, AllZeroMacIsShownAndShortBufferIsCut) {
    HostRecord r = record(1, 0, 0, T0, T0);
    memset(r.mac, 0, 6);
    EXPECT_EQ(reportline(r, replysort),
              "192.168.1.1 (00:00:00:00:00:00) 0 replies, last reply 0 days 00:00 ago");
    char small[20];
    formatreportline(small, sizeof small, r, timesort, clock);
    EXPECT_EQ(std::string(small), "192.168.1.1 (00:00:");
}

std::vector<int> sorted(std::vector<HostRecord> v, int (*cmp)(const void*, const void*)) {
    std::vector<HostRecord*> p;
    for (auto& r : v) p.push_back(&r);
    qsort(p.data(), p.size(), sizeof(HostRecord*), cmp);
    std::vector<int> out;
    for (auto* r : p) out.push_back(r->addr.o[3]);
    return out;
}

TEST(ReportOrder, ByRepliesThenEarlierFirstSeenThenHigherOctet) {
    std::vector<HostRecord> v = {
        record(12, 5, 0, T0 - 100, 0), record(30, 5, 0, T0 - 100, 0),
        record(40, 5, 0, T0 - 200, 0), record(3, 9, 0, T0, 0),
        record(50, 0, 0, T0 - 999, 0),
    };
    EXPECT_EQ(sorted(v, byreplies), (std::vector<int>{3, 40, 30, 12, 50}));
}

TEST(ReportOrder, ByTimeEarlierFirstSeenThenHigherOctet) {
    std::vector<HostRecord> v = {
        record(12, 1, 0, T0 - 100, 0), record(30, 9, 0, T0 - 100, 0),
        record(40, 0, 0, T0 - 200, 0), record(3, 0, 0, T0 + 50, 0),
    };
    EXPECT_EQ(sorted(v, bytime), (std::vector<int>{40, 30, 12, 3}));
}

TEST(ReportOrder, FirstSeenComparedInFull64Bits) {
    // These differ by exactly 2^32 seconds: a comparison in 32 bits would call them equal.
    std::vector<HostRecord> v = {record(1, 0, 0, 0x100000000LL + 5, 0), record(2, 0, 0, 5, 0)};
    EXPECT_EQ(sorted(v, bytime), (std::vector<int>{2, 1}));
    EXPECT_EQ(sorted(v, byreplies), (std::vector<int>{2, 1}));
    std::vector<HostRecord> w = {record(1, 0, 0, -5, 0), record(2, 0, 0, 0x7fffffffffffLL, 0)};
    EXPECT_EQ(sorted(w, bytime), (std::vector<int>{1, 2}));
}

TEST(SummaryLine, Example) {
    HostRecord r = record(20, 45, 3, T0 - (2 * D + 5 * H + 7 * M), 0);
    EXPECT_EQ(summary(r),
              "192.168.1.20 (00:0d:93:4a:11:2c) 48 packets 2 days 05:07, 93% replies\n");
}

TEST(SummaryLine, PacketsAndPercent) {
    EXPECT_EQ(summary(record(1, 1, 0, T0, 0)),
              "192.168.1.1 (00:0d:93:4a:11:2c) 1 packet 0 days 00:00, 100% replies\n");
    EXPECT_EQ(summary(record(1, 0, 0, T0, 0)),
              "192.168.1.1 (00:0d:93:4a:11:2c) 0 packets 0 days 00:00, 0% replies\n");
    EXPECT_EQ(summary(record(1, 1, 2, T0, 0)),
              "192.168.1.1 (00:0d:93:4a:11:2c) 3 packets 0 days 00:00, 33% replies\n");
    EXPECT_EQ(summary(record(1, 0, 7, T0, 0)),
              "192.168.1.1 (00:0d:93:4a:11:2c) 7 packets 0 days 00:00, 0% replies\n");
}

TEST(SummaryLine, Durations) {
    EXPECT_EQ(summary(record(1, 1, 0, T0 - 24 * H, 0)),
              "192.168.1.1 (00:0d:93:4a:11:2c) 1 packet 1 day 00:00, 100% replies\n");
    EXPECT_EQ(summary(record(1, 1, 0, T0 - 50 * M, 0)),
              "192.168.1.1 (00:0d:93:4a:11:2c) 1 packet 0 days 00:50, 100% replies\n");
}

TEST(SummaryLine, PercentDoesNotWrapForLargeCounts) {
    // replies x 100 passes 2^32 here; the percentage must stay right.
    EXPECT_EQ(replypercent(50000000, 0), 100u);
    EXPECT_EQ(replypercent(2000000000, 0), 100u);
    EXPECT_EQ(replypercent(30000000, 30000000), 50u);
    EXPECT_EQ(replypercent(2, 1), 66u);
}

TEST(ArpLine, AddressAndSixMacBytes) {
    const unsigned char addr[4] = {10, 77, 0, 5};
    const unsigned char phys[8] = {0x02, 0xab, 0xcd, 0x00, 0x01, 0xff, 0x99, 0x99};
    char buf[128];
    formatarpline(buf, sizeof buf, addr, phys);
    EXPECT_STREQ(buf, "10.77.0.5 : 02:ab:cd:00:01:ff");
}

TEST(LookupLine, CompanyAndCutAtTheLineEnd) {
    Addr4 a = {{192, 168, 1, 20}};
    const unsigned char mac[6] = {0, 0, 0, 0x4a, 0x11, 0x2c};
    char buf[1024];
    formatlookupline(buf, sizeof buf, a, mac, "XEROX CORPORATION");
    EXPECT_STREQ(buf, "192.168.1.20 (00:00:00:4a:11:2c) XEROX CORPORATION");
    formatlookupline(buf, sizeof buf, a, mac, "");
    EXPECT_STREQ(buf, "192.168.1.20 (00:00:00:4a:11:2c) ");
    std::string longname(1100, 'Z');
    formatlookupline(buf, sizeof buf, a, mac, longname.c_str());
    EXPECT_EQ(strlen(buf), 1023u);
    EXPECT_EQ(std::string(buf).substr(0, 34), "192.168.1.20 (00:00:00:4a:11:2c) Z");
}

struct Parsed {
    bool ok;
    int o0, o1, o2;
    std::string company;
};

Parsed parse(const char* text) {
    char line[ouilinebuf];
    snprintf(line, sizeof line, "%s", text);
    unsigned char oui[3] = {0xee, 0xee, 0xee};
    const char* company = nullptr;
    Parsed p = {parseouiline(line, oui, &company), oui[0], oui[1], oui[2], ""};
    if (p.ok) p.company = company;
    return p;
}

TEST(OuiLine, TheListingsForm) {
    Parsed p = parse("00-00-00   (hex)\t\tXEROX CORPORATION\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.o0 | p.o1 | p.o2, 0);
    EXPECT_EQ(p.company, "XEROX CORPORATION");
    p = parse("0a-1b-FF (hex) \v\f\r x y  \n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.o0, 0x0a);
    EXPECT_EQ(p.o1, 0x1b);
    EXPECT_EQ(p.o2, 0xff);
    EXPECT_EQ(p.company, "x y  ");  // trailing blanks kept, only the line end removed
}

TEST(OuiLine, NumbersCutToEightBitsAndPrefixes) {
    Parsed p = parse("100-200-2FF (hex) Big\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.o0, 0);
    EXPECT_EQ(p.o1, 0);
    EXPECT_EQ(p.o2, 0xff);
    p = parse("  0x1-0X2-3 ) ACME");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.o0, 1);
    EXPECT_EQ(p.o1, 2);
    EXPECT_EQ(p.o2, 3);
    EXPECT_EQ(p.company, "ACME");
}

TEST(OuiLine, EmptyCompanyAfterTheParenthesis) {
    Parsed p = parse("00-11-22 (hex)\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.company, "");
    p = parse("00-11-22 (hex)   \t\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.company, "");
}

TEST(OuiLine, CompanyStartsAfterTheFirstParenthesis) {
    Parsed p = parse("00-11-22 (hex) Foo (Europe) Ltd\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.company, "Foo (Europe) Ltd");
}

TEST(OuiLine, OtherLinesAreIgnored) {
    EXPECT_FALSE(parse("00-11-22   no parenthesis here\n").ok);
    EXPECT_FALSE(parse("001122     (base 16)\t\tXEROX\n").ok);
    EXPECT_FALSE(parse("00:11:22 (hex) colons\n").ok);
    EXPECT_FALSE(parse("00-11 (hex) two numbers\n").ok);
    EXPECT_FALSE(parse("\n").ok);
    EXPECT_FALSE(parse("").ok);
    EXPECT_FALSE(parse("\t\t\t\tXEROX CORPORATION (hex)\n").ok);
}

TEST(PathRules, SplitAtTheLastSeparator) {
    char name[pathbuf], dir[pathbuf];
    splitpath("C:\\data\\exports\\hosts.txt", name, dir);
    EXPECT_STREQ(name, "hosts.txt");
    EXPECT_STREQ(dir, "C:\\data\\exports\\");
    splitpath("C:\\data/mixed/x", name, dir);
    EXPECT_STREQ(name, "x");
    EXPECT_STREQ(dir, "C:\\data/mixed/");
    splitpath("C:\\data\\", name, dir);
    EXPECT_STREQ(name, "");
    EXPECT_STREQ(dir, "C:\\data\\");
    splitpath("plain", name, dir);
    EXPECT_STREQ(name, "plain");
    EXPECT_STREQ(dir, "");
}

TEST(PathRules, ExtensionOfTheLastComponentOnly) {
    EXPECT_TRUE(lacksextension("C:\\dir.d\\report"));
    EXPECT_FALSE(lacksextension("C:\\dir\\report.txt"));
    EXPECT_FALSE(lacksextension("report."));
    char path[pathbuf] = "C:\\dir\\report";
    EXPECT_TRUE(appendextension(path, "txt"));
    EXPECT_STREQ(path, "C:\\dir\\report.txt");
    std::string longpath(pathbuf - 4, 'a');
    snprintf(path, sizeof path, "%s", longpath.c_str());
    EXPECT_FALSE(appendextension(path, "txt"));  // would need 260 characters
    EXPECT_EQ(strlen(path), longpath.size());
}

}  // namespace
