// Copy of the view's selection, read back from the real clipboard.
#include "test_input_fixture.h"
#include <thread>
#include "textview/selection.h"
#include "textview/copy.h"

namespace {

class Copy : public InputView {
protected:
    void SetUp() override {
        InputView::SetUp();
        add({"abcdef", "gh", "ijklm"});
        hwtest::setclipboardtext("before");
    }
    // Presses the modifiers through the system's input, then the key.
    void keys(std::vector<int> mods, int key) {
        for (int m : mods) hwtest::presskey(m, true);
        for (int m : mods) ASSERT_TRUE(GetAsyncKeyState(m) & 0x8000) << m;
        SendMessageA(w, WM_KEYDOWN, key, 0);
        for (int m : mods) hwtest::presskey(m, false);
        hwtest::pump();
    }
};

TEST_F(Copy, ThirteenBytesOverThreeLinesInAFourteenByteBlock) {
    select(0, 2, 2, 3);
    EXPECT_TRUE(copyllsel(w));
    std::string got;
    size_t bytes = 0;
    ASSERT_TRUE(hwtest::clipboardtext(&got, &bytes));
    EXPECT_EQ(got, "cdef\r\ngh\r\nijk");
    EXPECT_EQ(got.size(), 13u);
    EXPECT_EQ(bytes, 14u);
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(Copy, ColumnsBeyondALineCountAsItsLength) {
    select(1, 1, 2, 99);
    copyllsel(w);
    EXPECT_EQ(clip(), "h\r\nijklm");
    select(0, 99, 1, 1);
    copyllsel(w);
    EXPECT_EQ(clip(), "\r\ng");
}

TEST_F(Copy, SelectionPastTheNewestLineStopsThere) {
    select(1, 0, 7, 2);
    copyllsel(w);
    EXPECT_EQ(clip(), "gh\r\nijklm\r\n");
}

TEST_F(Copy, EmptySelectionEmptyViewAndResetSelectionEachGiveAnEmptyText) {
    select(1, 1, 1, 1);
    copyllsel(w);
    std::string got = "x";
    size_t bytes = 0;
    ASSERT_TRUE(hwtest::clipboardtext(&got, &bytes));
    EXPECT_EQ(got, "");
    EXPECT_EQ(bytes, 1u);

    hwtest::setclipboardtext("before");
    select(0, 1, 2, 2);
    twprintf("a new line");  // resets the selection
    copyllsel(w);
    EXPECT_EQ(clip(), "");

    hwtest::setclipboardtext("before");
    clearoutput();
    select(0, 1, 2, 2);  // a stale selection over no lines
    copyllsel(w);
    ASSERT_TRUE(hwtest::clipboardtext(&got, &bytes));
    EXPECT_EQ(got, "");
    EXPECT_EQ(bytes, 1u);
}

TEST_F(Copy, DragThenCtrlCCopiesWhatWasDragged) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, over(0, 1));
    send(WM_MOUSEMOVE, MK_LBUTTON, over(1, 1));
    send(WM_LBUTTONUP, 0, over(2, 2));
    keys({VK_CONTROL}, 'C');
    EXPECT_EQ(clip(), "bcdef\r\ngh\r\nij");
}

TEST_F(Copy, EveryCopyKeyCopiesAndNothingIsRemoved) {
    struct Case {
        std::vector<int> mods;
        int key;
    } cases[] = {{{VK_SHIFT}, VK_INSERT}, {{VK_SHIFT}, VK_DELETE}, {{VK_CONTROL}, VK_INSERT},
                 {{VK_CONTROL}, VK_DELETE}, {{VK_CONTROL}, 'C'}, {{VK_CONTROL}, 'X'}};
    for (const Case& c : cases) {
        hwtest::setclipboardtext("before");
        select(0, 4, 1, 1);
        keys(c.mods, c.key);
        EXPECT_EQ(clip(), "ef\r\ng") << c.key;
    }
    std::vector<std::string> want = {"abcdef", "gh", "ijklm"};
    EXPECT_EQ(hwtest::viewlines(), want);
}

TEST_F(Copy, OtherKeysCopyNothing) {
    select(0, 4, 1, 1);
    keys({}, VK_INSERT);
    keys({}, VK_DELETE);
    keys({}, 'C');
    keys({VK_SHIFT}, 'C');
    keys({VK_SHIFT}, 'X');
    keys({VK_CONTROL}, VK_HOME);
    keys({VK_CONTROL}, VK_END);
    keys({}, VK_HOME);
    keys({}, VK_END);
    EXPECT_EQ(clip(), "before");
    EXPECT_EQ(lb.top, 0);
    EXPECT_EQ(lb.leftcol, 0);
}

// Another holder of the clipboard: the copy gives up without a word.
TEST_F(Copy, ClipboardHeldElsewhereLeavesItAndTellsNothing) {
    select(0, 2, 2, 3);
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        bool ok = OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(done, 10000);
        if (ok) CloseClipboard();
    });
    WaitForSingleObject(opened, 10000);
    EXPECT_TRUE(copyllsel(w));
    SetEvent(done);
    holder.join();
    CloseHandle(opened);
    CloseHandle(done);
    EXPECT_EQ(clip(), "before");
    EXPECT_EQ(notices.size(), 0u);
}

TEST(CopyRules, LinePartsAndTheirBound) {
    Selection s = {0, 2, 2, 3};
    EXPECT_EQ(selbytes(s, 0, 6), 4 + 2);
    EXPECT_EQ(selbytes(s, 1, 2), 2 + 2);
    EXPECT_EQ(selbytes(s, 2, 5), 3);
    char out[8] = "zzzzzzz";
    EXPECT_EQ(selput(s, 0, "abcdef", 6, out, 3), 3);  // never past the room
    EXPECT_EQ(std::string(out, 4), "cdez");
    EXPECT_EQ(selput(s, 0, "abcdef", 6, out, 5), 5);
    EXPECT_EQ(std::string(out, 6), "cdef\rz");
    EXPECT_EQ(selput(s, 2, "ijklm", 5, out, 0), 0);
    Selection empty = {1, 1, 1, 1};
    EXPECT_EQ(selbytes(empty, 1, 5), 0);
}

}  // namespace
