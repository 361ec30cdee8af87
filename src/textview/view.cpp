// The output view's set-up, page computation, painting and message routing.
#include "textview/view.h"
#include "textview/copy.h"
#include "textview/input.h"
#include "textview/linebuffer.h"
#include "textview/output.h"
#include "textview/select.h"
#include "common/notices.h"

void twinit(HWND window) {
    InitializeCriticalSection(&lb.lock);
    lb.window = window;
    // The program is DPI-aware (its manifest): pixels it counts itself follow the DPI.
    HDC screen = GetDC(nullptr);
    lb.margin = MulDiv(viewmargin, screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96, 96);
    if (screen) ReleaseDC(nullptr, screen);
    ShowScrollBar(window, SB_HORZ, TRUE);
    ShowScrollBar(window, SB_VERT, TRUE);
    EnableScrollBar(window, SB_HORZ, ESB_ENABLE_BOTH);
    // The horizontal range is fixed: it never follows the lines or the window width.
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 260, 40, 0};
    SetScrollInfo(window, SB_HORZ, &si, TRUE);
}

HFONT twfont(HDC dc) {
    return CreateFontA(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_DONTCARE, FALSE,
                       FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, FIXED_PITCH | FF_DONTCARE, "Courier");
}

void twsetpage() {
    RECT rc;
    GetClientRect(lb.window, &rc);
    if (rc.bottom == 0) return;  // minimised
    lb.page = rc.bottom / lb.lineheight;
    if (lb.page >= lb.count) {
        if (lb.top != 0) {
            lb.top = 0;
            InvalidateRect(lb.window, nullptr, FALSE);
        }
        EnableScrollBar(lb.window, SB_VERT, ESB_DISABLE_BOTH);
        return;
    }
    if (lb.top + lb.page > lb.count) {
        lb.top = lb.count - lb.page;
        InvalidateRect(lb.window, nullptr, FALSE);
    }
    EnableScrollBar(lb.window, SB_VERT, ESB_ENABLE_BOTH);
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0,
                     lb.count - 1, (UINT)lb.page, lb.top};
    SetScrollInfo(lb.window, SB_VERT, &si, TRUE);
}

static void drawrun(HDC dc, int x, int y, const char* text, int n, int* width) {
    SIZE sz = {0, 0};
    TextOutA(dc, x, y, text, n);
    GetTextExtentPoint32A(dc, text, n, &sz);
    *width = sz.cx;
}

void twpaint(PAINTSTRUCT* ps) {
    HDC dc = ps->hdc;
    COLORREF back = GetSysColor(COLOR_WINDOW);
    COLORREF fore = GetSysColor(COLOR_WINDOWTEXT);
    TEXTMETRICA tm;
    if (!GetTextMetricsA(dc, &tm)) {
        msgbox(captionerror, "WndProc: GetTextMetrics failed");
        return;
    }
    lb.lineheight = tm.tmHeight + tm.tmExternalLeading;
    lb.charwidth = tm.tmAveCharWidth;
    twsetpage();
    FillRect(dc, &ps->rcPaint, (HBRUSH)(COLOR_WINDOW + 1));

    EnterCriticalSection(&lb.lock);
    int end = lb.top + lb.page < lb.count ? lb.top + lb.page : lb.count;
    Selection sel = currentselection();
    OutputLine* line = lb.first;
    for (int i = 0; line && i < lb.top; i++) line = line->next;
    int x0 = lb.margin - lb.leftcol * lb.charwidth;
    for (int i = lb.top; line && i < end; i++, line = line->next) {
        int y = (i - lb.top) * lb.lineheight;
        int a, b, w1 = 0, w2 = 0;
        selrun(sel, i, line->length, &a, &b);
        SetTextColor(dc, fore);
        SetBkColor(dc, back);
        drawrun(dc, x0, y, line->text, a, &w1);
        if (a < line->length) {
            SetTextColor(dc, back);
            SetBkColor(dc, fore);
            drawrun(dc, x0 + w1, y, line->text + a, b - a, &w2);
            SetTextColor(dc, fore);
            SetBkColor(dc, back);
            if (b < line->length) {
                int w3;
                drawrun(dc, x0 + w1 + w2, y, line->text + b, line->length - b, &w3);
            }
        }
    }
    LeaveCriticalSection(&lb.lock);
}

void twproc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        twinit(window);
        getwheelstep();
        break;
    case WM_WININICHANGE:
        getwheelstep();
        break;
    case WM_ACTIVATE:
        // Under Wine a repaint still pending when the activation changes can be lost: the
        // last lines of a patrol stayed off the screen while the save's busy indicator
        // came and went, until something else repainted. Paint the view again.
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_ENDSESSION:
        if (wParam) clearoutput();  // FALSE: the logoff was cancelled, the lines stay
        break;
    case WM_DESTROY:
    case WM_CLOSE:
        clearoutput();
        break;
    case WM_SIZE:
        if (wParam == SIZE_MAXIMIZED)
            InvalidateRect(window, nullptr, FALSE);
        else
            twsetpage();
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        HFONT font = twfont(ps.hdc);
        HGDIOBJ old = font ? SelectObject(ps.hdc, font) : nullptr;
        twpaint(&ps);
        if (font) {
            SelectObject(ps.hdc, old);
            DeleteObject(font);
        }
        EndPaint(window, &ps);
        break;
    }
    case WM_KEYDOWN:
        twKEYDOWN(window, wParam);
        break;
    case WM_HSCROLL:
        twHSCROLL(LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_VSCROLL:
        twVSCROLL(LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        twMOUSEMOVE(window, wParam, lParam);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        twBUTTONDOWN(window, wParam, lParam);
        break;
    case WM_MOUSEWHEEL:
        twMOUSEWHEEL(window, wParam);
        break;
    }
}
