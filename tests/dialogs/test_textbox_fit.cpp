// The text box's template and fitting arithmetic, without a window.
#include <gtest/gtest.h>
#include <string.h>
#include "dialogs/textboxfit.h"

namespace {

struct Fields {
    int dialogcx, okx, staticcx, scrollx, copyx;
};
Fields fields(const TbTemplate& t) {
    return {tbget(t, t.dialogcx), tbget(t, t.okx), tbget(t, t.staticcx), tbget(t, t.scrollx),
            tbget(t, t.copyx)};
}

// Every character measures 6 pixels, as an alphabet of 372 pixels gives.
bool sixeach(void*, const char*, int n, int* width) {
    *width = 6 * n;
    return true;
}
// Fails on the line that starts with 'x'.
bool failonx(void*, const char* s, int n, int* width) {
    if (*s == 'x') return false;
    *width = 6 * n;
    return true;
}

TEST(TextboxFit, WorkedExampleThenASecondNarrowerText) {
    TbTemplate t = tbinitial();
    ASSERT_TRUE(tbfit(&t, 600, 6));
    Fields f = fields(t);
    EXPECT_EQ(f.staticcx, 420);
    EXPECT_EQ(f.dialogcx, 458);
    EXPECT_EQ(f.scrollx, 433);
    EXPECT_EQ(f.okx, 173);
    EXPECT_EQ(f.copyx, 233);
    ASSERT_TRUE(tbfit(&t, 300, 6));
    f = fields(t);
    EXPECT_EQ(f.staticcx, 210);
    EXPECT_EQ(f.dialogcx, 248);
    EXPECT_EQ(f.scrollx, 223);
    EXPECT_EQ(f.okx, 68);   // 173 + (-210 / 2 = -105)
    EXPECT_EQ(f.copyx, 128);

    TbTemplate fresh = tbinitial();
    ASSERT_TRUE(tbfit(&fresh, 300, 6));
    EXPECT_EQ(fields(fresh).okx, 69);  // 95 + (-53 / 2 = -26): truncated toward zero
    EXPECT_EQ(fields(fresh).copyx, 129);
}

TEST(TextboxFit, SameWidthTwiceChangesNothingAndNoAverageWidthLeavesTheTemplate) {
    TbTemplate t = tbinitial();
    tbfit(&t, 600, 6);
    TbTemplate once = t;
    tbfit(&t, 600, 6);
    EXPECT_EQ(memcmp(once.words, t.words, sizeof t.words), 0);

    TbTemplate start = tbinitial();
    TbTemplate u = start;
    EXPECT_FALSE(tbfit(&u, 600, 0));  // nothing measured: no division, no change
    EXPECT_FALSE(tbfit(&u, 600, -3));
    EXPECT_EQ(memcmp(start.words, u.words, sizeof u.words), 0);
}

TEST(TextboxFit, WidestLineCountsTabsAsFiveWidthsAndStartsAtTwenty) {
    EXPECT_EQ(tbwidest("", 6, sixeach, nullptr), 20);
    EXPECT_EQ(tbwidest("\n\n", 6, sixeach, nullptr), 20);
    EXPECT_EQ(tbwidest("ab", 6, sixeach, nullptr), 20);  // 12 pixels: 20 stays
    EXPECT_EQ(tbwidest("abcd\nabcdefgh\nab", 6, sixeach, nullptr), 48);
    // a tab measures as one character here (6) plus five average widths (30)
    EXPECT_EQ(tbwidest("abc\n\tab", 6, sixeach, nullptr), 3 * 6 + 30);
    EXPECT_EQ(tbwidest("\t\t", 7, sixeach, nullptr), 12 + 70);
    EXPECT_EQ(tbstaticwidth(20, 6), 14);  // 84 / 6: an empty text
    EXPECT_EQ(tbstaticwidth(20, 7), 12);
}

TEST(TextboxFit, MeasuringStopsAtTheFirstFailureWithTheWidestSoFar) {
    EXPECT_EQ(tbwidest("abcdef\nx\nabcdefghijklmnop", 6, failonx, nullptr), 36);
}

TEST(TextboxFit, LinesAndSkipping) {
    EXPECT_EQ(tblinecount(""), 1);
    EXPECT_EQ(tblinecount("a\nb"), 2);
    EXPECT_EQ(tblinecount("a\nb\n"), 3);
    const char* t = "one\ntwo\n\nfour";
    EXPECT_EQ(skiplines(0, t), t);
    EXPECT_EQ(skiplines(-4, t), t);
    EXPECT_STREQ(skiplines(1, t), "two\n\nfour");
    EXPECT_STREQ(skiplines(2, t), "\nfour");
    EXPECT_STREQ(skiplines(3, t), "four");
    EXPECT_STREQ(skiplines(4, t), "");
    EXPECT_STREQ(skiplines(400, t), "");
    EXPECT_STREQ(skiplines(1, "a\n"), "");
}

}  // namespace
