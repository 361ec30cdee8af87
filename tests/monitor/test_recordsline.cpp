// The record line as written and as read, without the profile.
#include <gtest/gtest.h>
#include <string>
#include "monitor/recordline.h"

namespace {

HostRecord sample() {
    HostRecord r = {};
    r.mac[0] = 0x11, r.mac[5] = 0xff;
    r.replies = 9, r.misses = 8, r.firstseen = 7, r.lastreply = 6;
    return r;
}

TEST(RecordLine, AllTenFieldsOrNothing) {
    HostRecord r = sample();
    EXPECT_FALSE(parserecordline("1 2 3 4 5 6 7 8 9", &r));
    EXPECT_FALSE(parserecordline("", &r));
    EXPECT_FALSE(parserecordline("1 2 3 4 5 g 7 8 9 10", &r));
    EXPECT_FALSE(parserecordline("1 2 3 4 5 6 7 8 9 x", &r));
    EXPECT_FALSE(parserecordline("1 2 3 4 5 6 7.5 8 9 10", &r));
    HostRecord untouched = sample();
    EXPECT_EQ(memcmp(&r, &untouched, sizeof r), 0);

    ASSERT_TRUE(parserecordline("  a\tB 0x0c -1 1ff 123456789 -5 +6 -7 8 trailing text", &r));
    const unsigned char mac[6] = {0x0a, 0x0b, 0x0c, 0xff, 0xff, 0x89};
    EXPECT_EQ(memcmp(r.mac, mac, 6), 0);
    EXPECT_EQ(r.replies, -5);
    EXPECT_EQ(r.misses, 6);
    EXPECT_EQ(r.firstseen, -7);
    EXPECT_EQ(r.lastreply, 8);
}

TEST(RecordLine, OverlongNumbersSaturateInsteadOfWrapping) {
    HostRecord r = {};
    ASSERT_TRUE(parserecordline("0 0 0 0 0 0 4294967297 -4294967297 "
                                "20000000000000000000 -20000000000000000000", &r));
    EXPECT_EQ(r.replies, 2147483647);
    EXPECT_EQ(r.misses, -2147483647 - 1);
    EXPECT_EQ(r.firstseen, 9223372036854775807LL);
    EXPECT_EQ(r.lastreply, -9223372036854775807LL - 1);
}

TEST(RecordLine, WrittenLineReadsBackTheSame) {
    HostRecord r = sample();
    r.firstseen = -1234567890123LL;
    r.lastreply = 1LL << 62;
    char line[recordlinesize];
    formatrecordline(line, sizeof line, r);
    EXPECT_STREQ(line, "11 00 00 00 00 ff 9 8 -1234567890123 4611686018427387904");
    HostRecord back = {};
    ASSERT_TRUE(parserecordline(line, &back));
    EXPECT_EQ(memcmp(back.mac, r.mac, 6), 0);
    EXPECT_EQ(back.replies, 9);
    EXPECT_EQ(back.misses, 8);
    EXPECT_EQ(back.firstseen, r.firstseen);
    EXPECT_EQ(back.lastreply, r.lastreply);
    // The widest line fits its buffer.
    r.replies = r.misses = -2147483647 - 1;
    r.firstseen = r.lastreply = -9223372036854775807LL - 1;
    formatrecordline(line, sizeof line, r);
    EXPECT_EQ(std::string(line).size(), 17u + 1 + 11 + 1 + 11 + 1 + 20 + 1 + 20);
}

}  // namespace
