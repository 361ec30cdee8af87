// The notice's text: the change lines not yet seen as printed, across patrols, at most
// five, then how many more.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "app/noticetext.h"

namespace {

// Patrols that saw `counts[0]`, `counts[1]`... changes, numbered on from 10.77.1.1.
UnseenChanges patrols(const std::vector<int>& counts) {
    UnseenChanges unseen;
    int n = 0;
    for (int count : counts) {
        std::vector<std::string> lines;
        for (int i = 0; i < count; i++) lines.push_back("MAC address changed for 10.77.1." + std::to_string(++n));
        addunseen(unseen, lines);
    }
    return unseen;
}

// Across patrols, the oldest unseen lines are named and every other one counted (the
// fault: a patrol's lines replaced the last's, or only the newest patrol was counted).
TEST(NoticeText, NamesTheFirstFiveUnseenLinesThenCountsTheRest) {
    const std::string c = "MAC address changed for 10.77.1.";
    const std::string five = c + "1\n" + c + "2\n" + c + "3\n" + c + "4\n" + c + "5";
    const struct {
        std::vector<int> patrols;
        std::string text;
    } cases[] = {
        {{1}, c + "1"},
        {{5}, five},
        {{6}, five + "\nand 1 more"},
        {{7}, five + "\nand 2 more"},
        {{2, 0, 1}, c + "1\n" + c + "2\n" + c + "3"},
        {{3, 4}, five + "\nand 2 more"},
        {{5, 2}, five + "\nand 2 more"},
        {{6, 1, 1}, five + "\nand 3 more"},
    };
    for (const auto& t : cases) {
        char out[256];
        noticetext(out, sizeof out, patrols(t.patrols));
        EXPECT_EQ(out, t.text) << t.patrols.size() << " patrols, the first of " << t.patrols[0];
    }
}

// Five of the longest lines and the count of a whole pool of two ranges fit a balloon's
// 256 bytes; a smaller buffer is filled and ended, never passed.
TEST(NoticeText, TheLongestTextFitsABalloonAndASmallBufferIsCut) {
    UnseenChanges unseen;
    addunseen(unseen, std::vector<std::string>(512, "MAC address changed for 255.255.255.255"));
    char out[256];
    noticetext(out, sizeof out, unseen);
    std::string text = out;
    EXPECT_EQ(text.size(), 5 * 40 + 12u);
    EXPECT_EQ(text.substr(text.size() - 13), "\nand 507 more");
    char small[8];
    memset(small, 'x', sizeof small);
    noticetext(small, sizeof small, unseen);
    EXPECT_STREQ(small, "MAC add");
}

}  // namespace
