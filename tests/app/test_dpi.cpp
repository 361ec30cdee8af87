// Sizes at the system DPI. tests/app/dpi.sh runs these at 144 DPI in a prefix of its own
// (HKCU\Control Panel\Desktop\LogPixels); at 96 they hold as well. The program declares
// itself DPI-aware, so what it counts in pixels must follow the DPI: the view's line
// height and left margin, and no control of its dialogs may be cut.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdlib.h>
#include <string>
#include "hwtest.h"
#include "dialogs/busy.h"
#include "resources/resource.h"
#include "textview/linebuffer.h"
#include "common/winutil.h"
#include "textview/view.h"

namespace {

int systemdpi() {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

TEST(HighDpi, TheSystemDpiIsTheOneAskedFor) {
    const char* want = getenv("HW_EXPECT_DPI");
    if (!want) GTEST_SKIP() << "run by tests/app/dpi.sh";
    EXPECT_EQ(systemdpi(), atoi(want));
}

TEST(HighDpi, TheViewsLineHeightAndMarginFollowTheDpi) {
    ASSERT_NE(hwtest::makemainwindow(), nullptr);
    UpdateWindow(mainwindow);  // the line height is measured as the view paints
    int dpi = systemdpi();
    HDC dc = GetDC(mainwindow);
    HFONT font = twfont(dc);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(mainwindow, dc);
    EXPECT_EQ(lb.margin, MulDiv(10, dpi, 96));
    // The line height is the font's own at this DPI, measured, never assumed (the font
    // asked for is 8 points at this DPI; which size a raster font has is the system's).
    EXPECT_EQ(lb.lineheight, tm.tmHeight + tm.tmExternalLeading);
    printf("[ dpi %d ] view line height %d, margin %d\n", dpi, lb.lineheight, lb.margin);
    hwtest::closemainwindow();
}

// Every control inside its dialog's client area, and the text of every static and button
// within its control, measured in the dialog's font.
void expectuncut(HWND dialog, const char* what) {
    RECT client;
    GetClientRect(dialog, &client);
    HFONT font = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, font);
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog, (POINT*)&r, 2);
        std::string id = std::string(what) + " control " + std::to_string(GetDlgCtrlID(c));
        EXPECT_GE(r.left, 0) << id;
        EXPECT_GE(r.top, 0) << id;
        EXPECT_LE(r.right, client.right) << id;
        EXPECT_LE(r.bottom, client.bottom) << id;
        char cls[32] = "", text[128] = "";
        GetClassNameA(c, cls, sizeof cls);
        GetWindowTextA(c, text, sizeof text);
        if (!*text || (_stricmp(cls, "Static") && _stricmp(cls, "Button"))) continue;
        SIZE sz;
        GetTextExtentPoint32A(dc, text, (int)strlen(text), &sz);
        EXPECT_LE(sz.cx, r.right - r.left) << id << " cuts its text \"" << text << "\"";
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
}

INT_PTR CALLBACK plainDlg_Proc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST(HighDpi, NoControlOfTheDialogsIsCut) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (int id : {IDD_CONFIG, IDD_REPORT}) {
        HWND d = CreateDialogParamA(instance, MAKEINTRESOURCEA(id), nullptr, plainDlg_Proc, 0);
        ASSERT_NE(d, nullptr) << id;
        expectuncut(d, id == IDD_CONFIG ? "configuration dialog" : "report dialog");
        DestroyWindow(d);
    }
    ASSERT_NE(hwtest::makemainwindow(), nullptr);
    HWND busy = busymessage(mainwindow, "Saving records...");
    ASSERT_NE(busy, nullptr);
    setbusypercent(busy, 100);
    expectuncut(busy, "busy indicator");
    DestroyWindow(busy);
    hwtest::closemainwindow();
}

}  // namespace
