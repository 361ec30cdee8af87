// The auto-scroll rule and the selection run, without a window.
#include <gtest/gtest.h>
#include "textview/autoscroll.h"
#include "textview/selection.h"

namespace {

const long long now = 1800000000;

TEST(AutoScroll, FewerLinesThanPageShowFromTheTop) {
    EXPECT_EQ(autoscrolltop(3, 10, 5, false, now, now), 0);
}

TEST(AutoScroll, ViewAtBottomFollowsTheNewLine) {
    // 20 lines after the append, page 10: top 9 was showing the newest line before it.
    EXPECT_EQ(autoscrolltop(20, 10, 9, false, now, now), 10);
}

TEST(AutoScroll, ScrolledUpStaysWithin300SecondsAndJumpsAfter) {
    EXPECT_EQ(autoscrolltop(20, 10, 3, false, now, now - 300), 3);
    EXPECT_EQ(autoscrolltop(20, 10, 3, false, now, now - 301), 10);
}

TEST(AutoScroll, NoUserActivityYetAlwaysShowsTheNewest) {
    EXPECT_EQ(autoscrolltop(20, 10, 3, false, now, 0), 10);
}

TEST(AutoScroll, DroppedLineKeepsTheSameLinesInViewAndStopsAtZero) {
    EXPECT_EQ(autoscrolltop(4097, 10, 100, true, now, now), 99);
    EXPECT_EQ(autoscrolltop(4097, 10, 0, true, now, now), 0);
    // Full chain, at the bottom and active: one lower, then the next append follows.
    EXPECT_EQ(autoscrolltop(4097, 10, 4087, true, now, now), 4086);
    EXPECT_EQ(autoscrolltop(4097, 10, 4086, true, now, now), 4087);
}

TEST(AutoScroll, ReachingTheCapWithoutDroppingLeavesTheViewAlone) {
    EXPECT_EQ(autoscrolltop(4097, 10, 100, false, now, now), 100);
}

TEST(AutoScroll, PageZeroBeforeTheFirstSize) {
    // page 0: the view follows past the newest line; the first page computation
    // brings top back into range.
    EXPECT_EQ(autoscrolltop(1, 0, 0, false, now, now), 1);
    EXPECT_EQ(autoscrolltop(2, 0, 1, false, now, now), 2);
}

struct SelRun {
    int a, b;
};

SelRun run(const Selection& s, int line, int length) {
    SelRun r;
    selrun(s, line, length, &r.a, &r.b);
    return r;
}

TEST(SelectionRun, ThreeLinesFromColumnTwoToColumnThree) {
    Selection s = {0, 2, 2, 3};
    SelRun r0 = run(s, 0, 6), r1 = run(s, 1, 2), r2 = run(s, 2, 5), r3 = run(s, 3, 4);
    EXPECT_EQ(r0.a, 2);
    EXPECT_EQ(r0.b, 6);
    EXPECT_EQ(r1.a, 0);
    EXPECT_EQ(r1.b, 2);
    EXPECT_EQ(r2.a, 0);
    EXPECT_EQ(r2.b, 3);
    EXPECT_EQ(r3.a, 4);  // outside: nothing selected
    EXPECT_EQ(r3.b, 4);
}

TEST(SelectionRun, EmptyAndBeyondTheLineEnd) {
    Selection empty = {0, 0, 0, 0};
    SelRun r = run(empty, 0, 5);
    EXPECT_EQ(r.a, 5);
    Selection within = {1, 2, 1, 40};  // end column past the line's length
    r = run(within, 1, 7);
    EXPECT_EQ(r.a, 2);
    EXPECT_EQ(r.b, 7);
    Selection pastend = {1, 9, 1, 12};  // both columns beyond: nothing to draw
    r = run(pastend, 1, 7);
    EXPECT_EQ(r.a, 7);
    EXPECT_EQ(r.b, 7);
}

}  // namespace
