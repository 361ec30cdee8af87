// The profile's text rules, without windows: its codings, the editor, the check of the
// edited text, the pending changes, and the reading of numbers.
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>
#include "settings/parse.h"
#include "settings/profilecheck.h"
#include "settings/profilecoding.h"
#include "settings/profileedit.h"
#include "settings/profilestore.h"

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
        // Behind a UTF-8 mark there is no header, as Windows reads it: the mark goes first.
        {"\xEF\xBB\xBF[hostwarden]\r\nx=1",
         "\xEF\xBB\xBF[hostwarden]\r\nx=1\r\n[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\n"},
        {"[Other]\r\ny=2\r\n", "[Other]\r\ny=2\r\n[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\n"},
        // A key without "=": the system's reader takes it as the key, with no value.
        {"[Hostwarden]\r\n SOFTWARE\\Hostwarden\\period \r\nx=1\r\n",
         "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\nx=1\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(profileedit(c.before, "Hostwarden", {k}, {"60"}), c.after) << c.before;
}

// The section as the system's reader gives it, for reads while a mark waits to be dropped.
TEST(ProfileEdit, SectionValuesAsTheSystemReadsThem) {
    std::string text = "[Other]\r\na=0\r\n[HOSTWARDEN]\r\n a = 1 \r\n;c=3\r\nb=\"two\"\r\nA=9\r\nd\r\n"
                       "[Hostwarden]\r\ne=5\r\n";
    std::vector<std::pair<std::string, std::string>> want = {{"a", "1"}, {"b", "two"}, {"d", ""}};
    EXPECT_EQ(sectionvalues(text, "Hostwarden"), want);
}

// What is written is what was read, less a UTF-8 mark: every other byte, a UTF-16 file's
// lone surrogates and characters beyond the first plane included.
TEST(ProfileCoding, ReadAndWrittenBackAsWindowsReadsThem) {
    const std::string le("\xFF\xFE[\0\xA9\x03\x00\xD8=\0\x3D\xD8\x00\xDE", 14), be("\xFE\xFF\0[", 4);
    struct Case {
        std::string file, text, written;
        ProfileCoding coding;
    } cases[] = {
        {"[a]\r\n\xE9\x80", "[a]\r\n\xE9\x80", "[a]\r\n\xE9\x80", codingansi},
        {"\xEF\xBB\xBF[a]\r\n\xEF\xBB\xBF", "[a]\r\n\xEF\xBB\xBF", "[a]\r\n\xEF\xBB\xBF", codingutf8mark},
        {le, "[\xCE\xA9\xED\xA0\x80=\xF0\x9F\x98\x80", le, codingutf16le},
        {be, be, be, codingutf16be},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(profilecoding(c.file), c.coding) << c.text;
        EXPECT_EQ(profiledecode(c.file, c.coding), c.text) << c.text;
        EXPECT_EQ(profileencode(c.text, c.coding), c.written) << c.text;
    }
    EXPECT_EQ(utf16("\xFF\xC3(\xED\xA0"), std::u16string(u"\u00FF\u00C3(\u00ED\u00A0"));  // bytes alone
}

// A key changed again while its write is under way stays pending after that write lands,
// so that the next write takes its new value; a change waits for the write that holds it.
TEST(ProfileStore, ALaterValueOutlivesTheWriteOfAnEarlierOne) {
    ProfileStore store;
    unsigned long long first = store.merge({"K", "other"}, {"1", "x"});
    ProfileSnapshot s;
    store.take(&s, 0);
    EXPECT_EQ(s.values, (std::vector<std::string>{"1", "x"}));
    unsigned long long second = store.merge({"k"}, {"2"});
    store.finish(s, savelanded);
    EXPECT_EQ(store.wait(first, 0), savelanded);
    EXPECT_EQ(store.wait(second, 0), saveheld);
    std::string v;
    bool fromfile;
    EXPECT_TRUE(store.lookup("K", &v, &fromfile));
    EXPECT_EQ(v, "2");
    EXPECT_FALSE(store.lookup("other", &v, &fromfile)) << "landed: the file answers";
    EXPECT_TRUE(fromfile);
    store.take(&s, 0);
    EXPECT_EQ(s.keys, (std::vector<std::string>{"k"}));
    std::thread writer([&] { store.finish(s, saverefused); });
    EXPECT_EQ(store.wait(second, 5000), saverefused);
    writer.join();
    EXPECT_EQ(store.settle(0), saverefused);
    store.discard();
    EXPECT_EQ(store.settle(0), savelanded);
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
