// The profile's text rules, without windows: the editor, the check of a written copy
// and the reading of numbers.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "settings/parse.h"
#include "settings/profilecheck.h"
#include "settings/profileedit.h"

namespace {

// One key set in files of every shape the editor meets.
TEST(ProfileEdit, SetsTheKeyAndKeepsEveryOtherByte) {
    const char* k = "SOFTWARE\\Hostwarden\\period";
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        {"", "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\n"},
        {"[Hostwarden]\r\nsoftware\\hostwarden\\PERIOD = 5\r\n; note\r\n",
         "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\n; note\r\n"},
        {"[Hostwarden]\na=1\n\n[Other]\nSOFTWARE\\Hostwarden\\period=9\n",
         "[Hostwarden]\na=1\nSOFTWARE\\Hostwarden\\period=60\n\n[Other]\nSOFTWARE\\Hostwarden\\period=9\n"},
        {"\xEF\xBB\xBF[hostwarden]\r\nx=1", "\xEF\xBB\xBF[hostwarden]\r\nx=1\r\nSOFTWARE\\Hostwarden\\period=60\r\n"},
        {"[Other]\r\ny=2\r\n", "[Other]\r\ny=2\r\n[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\n"},
        // A key without "=": the system's reader takes it as the key, with no value.
        {"[Hostwarden]\r\n SOFTWARE\\Hostwarden\\period \r\nx=1\r\n",
         "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\nx=1\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(profileedit(c.before, "Hostwarden", {k}, {"60"}), c.after) << c.before;
}

// The section's lines as the system's reader gives them, for files with a byte-order
// mark, which only the system's functions write.
TEST(ProfileEdit, SectionLinesAsTheSystemGivesThem) {
    std::vector<std::string> lines = {"a=1", "SOFTWARE\\Hostwarden\\logs", "b=2"};
    std::vector<std::string> keys = {"software\\hostwarden\\LOGS", "c", "a"};
    std::vector<std::string> values = {"1", "3", "4"};
    std::vector<std::string> want = {"a=4", "software\\hostwarden\\LOGS=1", "b=2", "c=3"};
    EXPECT_EQ(sectionedit(lines, keys, values), want);
    EXPECT_TRUE(sectioncomplete(lines, want, keys, values));
    EXPECT_FALSE(sectioncomplete(lines, {"a=4", "b=2", "c=3"}, keys, values));  // a key lost
    EXPECT_FALSE(sectioncomplete(lines, {"a=1", "SOFTWARE\\Hostwarden\\logs=1", "b=2", "c=3"}, keys,
                                 values));  // a value not set
    for (const char* marked : {"\xFF\xFE[", "\xFE\xFF\0[", "\xEF\xBB\xBF["})
        EXPECT_TRUE(profilebom(std::string(marked, 3))) << marked;
    EXPECT_FALSE(profilebom("[Hostwarden]"));
}

TEST(ProfileCheck, CopiesCutShortOrMissingAKeyAreRefused) {
    std::string before = "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\nSOFTWARE\\Hostwarden\\logs=1\r\n";
    std::string now = before + "SOFTWARE\\Hostwarden\\10.0.0.1=00 00 00 00 00 00 1 0 5 0\r\n";
    std::vector<std::string> keys = {"SOFTWARE\\Hostwarden\\10.0.0.1"};
    std::vector<std::string> values = {"00 00 00 00 00 00 1 0 5 0"};
    EXPECT_TRUE(profilecomplete(before, now, "Hostwarden", keys, values));
    for (size_t cut = 0; cut < now.size(); cut++)
        EXPECT_FALSE(profilecomplete(before, now.substr(0, cut), "Hostwarden", keys, values)) << cut;
    // The written value must be the one asked for; the old keys must all be there.
    EXPECT_FALSE(profilecomplete(before, before, "Hostwarden", keys, values));
    std::string nologs = "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\n" + now.substr(before.size());
    EXPECT_FALSE(profilecomplete(before, nologs, "Hostwarden", keys, values));
    EXPECT_FALSE(profilecomplete(before, "[Other]\r\n" + now.substr(14), "Hostwarden", keys, values));
    // A key written twice holds its last value.
    keys.push_back("software\\hostwarden\\10.0.0.1");
    values.push_back("00 00 00 00 00 00 2 0 5 0");
    EXPECT_FALSE(profilecomplete(before, now, "Hostwarden", keys, values));
    std::string twice = before + "SOFTWARE\\Hostwarden\\10.0.0.1=00 00 00 00 00 00 2 0 5 0\r\n";
    EXPECT_TRUE(profilecomplete(before, twice, "Hostwarden", keys, values));
}

TEST(ProfileParse, NumbersReadAsScanfWouldButWithoutOverflow) {
    int n[4];
    EXPECT_TRUE(parsefournumbers(" 1\t2\n3 +4 rest", n));
    EXPECT_EQ(n[0] + n[1] * 10 + n[2] * 100 + n[3] * 1000, 4321);
    EXPECT_FALSE(parsefournumbers("1 2 3", n));
    EXPECT_FALSE(parsefournumbers("1 2 3 x", n));
    EXPECT_FALSE(parsefournumbers("1,2,3,4", n));
    EXPECT_FALSE(parsefournumbers("", n));
    EXPECT_TRUE(parsefournumbers("-2147483649 99999999999999999999999 20000000000000000000 -0", n));
    EXPECT_EQ(n[0], -2147483647 - 1);
    EXPECT_EQ(n[1], 2147483647);
    EXPECT_EQ(n[2], 2147483647);  // past 64 bits too: no wrap round to a small number
    EXPECT_EQ(n[3], 0);
    EXPECT_EQ(parseleadingint("  -7x"), -7);
    EXPECT_EQ(parseleadingint("- 7"), 0);
    EXPECT_EQ(parseleadingint(""), 0);
}

}  // namespace
