// The notice's text: the change lines as printed, at most five, then how many more.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "app/noticetext.h"

namespace {

// "MAC address changed for 10.77.1.1" to ".n".
std::vector<std::string> changes(int n) {
    std::vector<std::string> lines;
    for (int i = 1; i <= n; i++) lines.push_back("MAC address changed for 10.77.1." + std::to_string(i));
    return lines;
}

TEST(NoticeText, NamesTheFirstFiveLinesThenCountsTheRest) {
    const std::string c = "MAC address changed for 10.77.1.";
    const struct {
        int changes;
        std::string text;
    } cases[] = {
        {1, c + "1"},
        {5, c + "1\n" + c + "2\n" + c + "3\n" + c + "4\n" + c + "5"},
        {6, c + "1\n" + c + "2\n" + c + "3\n" + c + "4\n" + c + "5\nand 1 more"},
        {7, c + "1\n" + c + "2\n" + c + "3\n" + c + "4\n" + c + "5\nand 2 more"},
    };
    for (const auto& t : cases) {
        char out[256];
        noticetext(out, sizeof out, changes(t.changes));
        EXPECT_EQ(out, t.text) << t.changes << " changes";
    }
}

// Five of the longest lines and the count of a whole pool of two ranges fit a balloon's
// 256 bytes; a smaller buffer is filled and ended, never passed.
TEST(NoticeText, TheLongestTextFitsABalloonAndASmallBufferIsCut) {
    std::vector<std::string> lines(512, "MAC address changed for 255.255.255.255");
    char out[256];
    noticetext(out, sizeof out, lines);
    std::string text = out;
    EXPECT_EQ(text.size(), 5 * 40 + 12u);
    EXPECT_EQ(text.substr(text.size() - 13), "\nand 507 more");
    char small[8];
    memset(small, 'x', sizeof small);
    noticetext(small, sizeof small, lines);
    EXPECT_STREQ(small, "MAC add");
}

}  // namespace
