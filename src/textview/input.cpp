// The output view's scroll bars, scrolling keys and mouse wheel.
#include "textview/input.h"
#include "textview/copy.h"
#include "textview/linebuffer.h"
#include "common/scrollrules.h"

// Both bars are read from the window: their range and page are what the user sees.
static SCROLLINFO readbar(int bar) {
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS};
    GetScrollInfo(lb.window, bar, &si);
    return si;
}

void twVSCROLL(int request, int position) {
    SCROLLINFO si = readbar(SB_VERT);
    int top = scrollrequest(request, lb.top, (int)si.nPage, position);
    top = scrollclamp(top, si.nMax, (int)si.nPage);
    if (top > lb.count) top = lb.count;
    lb.top = top;
    if (top == si.nPos) return;
    // Only whole lines move; the partial line below the page is left to the next paint.
    RECT clip;
    GetClientRect(lb.window, &clip);
    clip.bottom = lb.page * lb.lineheight;
    ScrollWindowEx(lb.window, 0, (si.nPos - top) * lb.lineheight, nullptr, &clip, nullptr,
                   nullptr, SW_INVALIDATE);
    si.fMask = SIF_POS;
    si.nPos = top;
    SetScrollInfo(lb.window, SB_VERT, &si, TRUE);
}

void twHSCROLL(int request, int position) {
    SCROLLINFO si = readbar(SB_HORZ);
    int col = scrollrequest(request, lb.leftcol, (int)si.nPage, position);
    col = scrollclamp(col, si.nMax, (int)si.nPage);
    lb.leftcol = col;
    if (col == si.nPos) return;
    RECT clip;
    GetClientRect(lb.window, &clip);
    ScrollWindowEx(lb.window, (si.nPos - col) * lb.charwidth, 0, nullptr, &clip, nullptr,
                   nullptr, SW_INVALIDATE);
    si.fMask = SIF_POS;
    si.nPos = col;
    SetScrollInfo(lb.window, SB_HORZ, &si, TRUE);
}

static bool keydown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

// Scroll keys go through the main window procedure, which stamps the user's activity.
void twKEYDOWN(HWND window, WPARAM key) {
    switch (key) {
    case VK_PRIOR: SendMessageA(window, WM_VSCROLL, SB_PAGEUP, 0); break;
    case VK_NEXT: SendMessageA(window, WM_VSCROLL, SB_PAGEDOWN, 0); break;
    case VK_UP: SendMessageA(window, WM_VSCROLL, SB_LINEUP, 0); break;
    case VK_DOWN: SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0); break;
    case VK_LEFT: SendMessageA(window, WM_HSCROLL, SB_LINELEFT, 0); break;
    case VK_RIGHT: SendMessageA(window, WM_HSCROLL, SB_LINERIGHT, 0); break;
    case VK_INSERT:
    case VK_DELETE:
        if (keydown(VK_CONTROL) || keydown(VK_SHIFT)) copyllsel(window);
        break;
    case 'C':
    case 'X':
        if (keydown(VK_CONTROL)) copyllsel(window);
        break;
    }
}

void getwheelstep() {
    UINT lines = 0;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    lb.wheelstep = wheelstepfor(lines);
}

void twMOUSEWHEEL(HWND window, WPARAM wParam) {
    if (lb.wheelstep == 0) return;
    int lines = wheellines(&lb.wheelrest, lb.wheelstep, (short)HIWORD(wParam));
    for (; lines > 0; lines--) SendMessageA(window, WM_VSCROLL, SB_LINEUP, 0);
    for (; lines < 0; lines++) SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
}
