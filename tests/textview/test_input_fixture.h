// The real main window in-process, with lines in its view, for the input tests.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "hwtest.h"
#include "modal.h"
#include "textview/input.h"
#include "textview/linebuffer.h"
#include "textview/output.h"
#include "textview/view.h"
#include "textview/selection.h"

class InputView : public testing::Test {
protected:
    hwtest::InputTurn turn;  // clicks read the shared Shift state; copies the clipboard
    hwtest::Notices notices;
    HWND w = nullptr;
    void SetUp() override {
        w = (HWND)hwtest::makemainwindow();
        ASSERT_NE(w, nullptr);
        SetWindowPos(w, HWND_TOP, 0, 0, 640, 480, SWP_SHOWWINDOW);
        clearoutput();
        paint();
        notices.clear();
    }
    void TearDown() override {
        for (int vk : {VK_SHIFT, VK_CONTROL}) hwtest::presskey(vk, false);
        hwtest::closemainwindow();
    }
    void paint() {
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        hwtest::pump();
    }
    void add(const std::vector<std::string>& lines) {
        for (const std::string& s : lines) twprintf("%s", s.c_str());
        paint();
    }
    // Pixel width of the first n characters of line `line` in the view's font.
    int prefix(int line, int n) {
        OutputLine* l = lb.first;
        for (int i = 0; i < line; i++) l = l->next;
        HDC dc = GetDC(w);
        HFONT f = twfont(dc);
        HGDIOBJ old = SelectObject(dc, f);
        SIZE sz = {0, 0};
        GetTextExtentPoint32A(dc, l->text, n, &sz);
        SelectObject(dc, old);
        DeleteObject(f);
        ReleaseDC(w, dc);
        return sz.cx;
    }
    int ymid(int line) { return (line - lb.top) * lb.lineheight + lb.lineheight / 2; }
    // A client point inside character `col` of line `line`, one pixel past its left edge.
    LPARAM over(int line, int col) {
        return MAKELPARAM(10 - lb.leftcol * lb.charwidth + prefix(line, col) + 1, ymid(line));
    }
    void send(UINT msg, WPARAM flags, LPARAM point) { SendMessageA(w, msg, flags, point); }
    Selection sel() { return currentselection(); }
    void select(int l0, int c0, int l1, int c1) {
        EnterCriticalSection(&lb.lock);
        lb.startline = l0, lb.startcol = c0, lb.endline = l1, lb.endcol = c1;
        LeaveCriticalSection(&lb.lock);
    }
    std::string clip() {
        std::string s;
        hwtest::clipboardtext(&s);
        return s;
    }
};

#define EXPECT_SEL(s, l0, c0, l1, c1)      \
    do {                                   \
        Selection s_ = (s);                \
        EXPECT_EQ(s_.startline, l0);       \
        EXPECT_EQ(s_.startcol, c0);        \
        EXPECT_EQ(s_.endline, l1);         \
        EXPECT_EQ(s_.endcol, c1);          \
    } while (0)
