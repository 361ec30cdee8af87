// Mouse selection and the context menu of the output view.
#include "test_input_fixture.h"
#include "textview/select.h"
#include "textview/selection.h"

namespace {

class Select : public InputView {
protected:
    void SetUp() override {
        InputView::SetUp();
        add({"abcdef", "gh", "ijklm"});
    }
};

TEST_F(Select, ClickOverACharacterPlacesThePositionBeforeIt) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, over(0, 3));
    EXPECT_TRUE(lb.dragging);
    EXPECT_SEL(sel(), 0, 3, 0, 3);
    EXPECT_EQ(lb.anchorline, 0);
    EXPECT_EQ(lb.anchorcol, 3);
    int line, col;
    // the last pixel of character 2 still lies over it; the first of character 3 does not
    ASSERT_TRUE(getcoords(MAKELPARAM(10 + prefix(2, 3) - 1, ymid(2)), &line, &col));
    EXPECT_EQ(line, 2);
    EXPECT_EQ(col, 2);
    ASSERT_TRUE(getcoords(MAKELPARAM(10 + prefix(2, 3), ymid(2)), &line, &col));
    EXPECT_EQ(col, 3);
    ASSERT_TRUE(getcoords(MAKELPARAM(10 + prefix(2, 5) + 40, ymid(2)), &line, &col));
    EXPECT_EQ(col, 5);  // right of the text: the line's end
}

TEST_F(Select, ClickInTheLeftMarginGivesColumnZero) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, ymid(1)));
    EXPECT_SEL(sel(), 1, 0, 1, 0);
}

TEST_F(Select, ClickBelowTheLastLineIsTheEndOfTheLastLine) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, over(0, 2));
    send(WM_LBUTTONUP, 0, MAKELPARAM(20, ymid(2) + 10 * lb.lineheight));
    EXPECT_SEL(sel(), 0, 2, 2, 5);
    EXPECT_FALSE(lb.dragging);
    int line, col;
    ASSERT_TRUE(getcoords(MAKELPARAM(3, 60000), &line, &col));
    EXPECT_EQ(line, 2);
    EXPECT_EQ(col, 5);
}

TEST_F(Select, DragRunsFromTheAnchorEitherWayAndEndsWithTheButton) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, over(2, 3));
    send(WM_MOUSEMOVE, MK_LBUTTON, over(0, 1));  // before the anchor
    EXPECT_SEL(sel(), 0, 1, 2, 3);
    send(WM_MOUSEMOVE, MK_LBUTTON, over(2, 4));  // after it
    EXPECT_SEL(sel(), 2, 3, 2, 4);
    EXPECT_TRUE(lb.dragging);
    send(WM_MOUSEMOVE, 0, over(1, 1));  // the button came up outside: one last extension
    EXPECT_SEL(sel(), 1, 1, 2, 3);
    EXPECT_FALSE(lb.dragging);
    send(WM_MOUSEMOVE, 0, over(0, 0));  // idle: nothing
    send(WM_MOUSEMOVE, MK_LBUTTON, over(0, 0));
    EXPECT_SEL(sel(), 1, 1, 2, 3);
}

TEST_F(Select, ShiftClickExtendsFromTheAnchor) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, over(1, 1));
    send(WM_LBUTTONUP, 0, over(1, 1));
    hwtest::presskey(VK_SHIFT, true);
    ASSERT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
    send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, over(0, 4));
    hwtest::presskey(VK_SHIFT, false);
    EXPECT_SEL(sel(), 0, 4, 1, 1);
    EXPECT_EQ(lb.anchorline, 1);
    EXPECT_EQ(lb.anchorcol, 1);
    EXPECT_TRUE(lb.dragging);
}

TEST_F(Select, NewLineResetsTheSelectionButKeepsTheAnchor) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, over(1, 1));
    send(WM_LBUTTONUP, 0, over(2, 2));
    EXPECT_SEL(sel(), 1, 1, 2, 2);
    twprintf("another");
    EXPECT_SEL(sel(), 0, 0, 0, 0);
    EXPECT_EQ(lb.anchorline, 1);
    EXPECT_EQ(lb.anchorcol, 1);
}

TEST_F(Select, LeftClickOnAnEmptyViewStartsNothing) {
    clearoutput();
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 5));
    EXPECT_FALSE(lb.dragging);
    int line, col;
    EXPECT_FALSE(getcoords(MAKELPARAM(30, 5), &line, &col));
    EXPECT_EQ(notices.size(), 0u);
}

// The menu loop runs inside the right-button handler; a timer tick inside it reads the
// menu and chooses its one item with the keyboard.
HMENU shownmenu;
std::string itemtext;
UINT itemid;
void CALLBACK choosepatrol(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND m = FindWindowA("#32768", nullptr);
    if (!m || !IsWindowVisible(m)) return;
    KillTimer(nullptr, timer);
    shownmenu = (HMENU)SendMessageA(m, MN_GETHMENU, 0, 0);
    char t[64] = "";
    GetMenuStringA(shownmenu, 0, t, sizeof t, MF_BYPOSITION);
    itemtext = t;
    itemid = GetMenuItemID(shownmenu, 0);
    PostMessageA(m, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(m, WM_KEYDOWN, VK_RETURN, 0);
}

Selection aftermenu;
void rightclick(HWND w, LPARAM point) {
    shownmenu = nullptr;
    itemtext.clear();
    itemid = 0;
    SetTimer(nullptr, 0, 50, choosepatrol);
    SendMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, point);
    aftermenu = currentselection();  // before the chosen command arrives
    hwtest::pump(200);
}

TEST_F(Select, RightClickMenuPatrolStartsAPatrolAndLeavesTheSelection) {
    select(0, 1, 2, 2);
    size_t before = hwtest::viewlines().size();
    rightclick(w, over(1, 1));
    EXPECT_NE(shownmenu, nullptr);
    EXPECT_EQ(itemtext, "Patrol");
    EXPECT_EQ(itemid, 11842u);
    EXPECT_FALSE(lb.dragging);
    EXPECT_SEL(aftermenu, 0, 1, 2, 2);
    // nothing is configured, so the patrol's start says so in the view
    std::vector<std::string> v = hwtest::viewlines();
    ASSERT_EQ(v.size(), before + 1);
    EXPECT_EQ(v.back(), "No configuration, use the File / Configuration dialog.");
}

TEST_F(Select, RightClickShowsTheMenuOnAnEmptyViewToo) {
    clearoutput();
    rightclick(w, MAKELPARAM(40, 40));
    EXPECT_EQ(itemtext, "Patrol");
}

}  // namespace
