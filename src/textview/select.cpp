// The mouse selection of the output view and its context menu.
#include "textview/select.h"
#include "textview/view.h"
#include "textview/linebuffer.h"
#include "textview/selection.h"
#include "common/notices.h"
#include "resources/resource.h"

// Column of client x on a line: the first j whose j-character prefix is wider than x
// gives j - 1; no such j gives the line's end. Caller holds lock.
static bool measurecolumn(HDC dc, const OutputLine* line, int x, int* col) {
    *col = line->length;
    for (int j = 1; j <= line->length; j++) {
        SIZE sz;
        if (!GetTextExtentPoint32A(dc, line->text, j, &sz)) return false;
        if (sz.cx > x) {
            *col = j - 1;
            break;
        }
    }
    return true;
}

bool getcoords(LPARAM point, int* line, int* col) {
    int x = (int)LOWORD(point) + lb.leftcol * lb.charwidth - lb.margin;
    int n = (int)HIWORD(point) / lb.lineheight + lb.top;
    if (!lb.first) return false;

    EnterCriticalSection(&lb.lock);
    OutputLine* l = lb.first;
    for (int i = 0; l && i < n; i++) l = l->next;
    if (!lb.first) {  // cleared meanwhile
        LeaveCriticalSection(&lb.lock);
        return false;
    }
    if (!l) {  // below the last line: the end of the last line
        *line = lb.count - 1;
        *col = lb.last->length;
        LeaveCriticalSection(&lb.lock);
        return true;
    }
    HDC dc = GetDC(lb.window);
    if (!dc) {
        LeaveCriticalSection(&lb.lock);
        msgbox(captionerror, "getcoords: GetDC failed");
        return false;
    }
    HFONT font = twfont(dc);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    int c = 0;
    bool measured = measurecolumn(dc, l, x, &c);
    if (font) {
        SelectObject(dc, old);
        DeleteObject(font);
    }
    ReleaseDC(lb.window, dc);
    LeaveCriticalSection(&lb.lock);
    if (!measured) {
        msgbox(captionerror, "getcoords: GetTextExtentPoint32 failed");
        return false;
    }
    *line = n;
    *col = c;
    return true;
}

// The selection from the anchor to the point; the selection fields are written under
// lock, so an append on the patrol thread never sees half of a new selection.
static void extendto(LPARAM point) {
    int line, col;
    if (!getcoords(point, &line, &col)) return;
    EnterCriticalSection(&lb.lock);
    Selection s = selfromanchor(lb.anchorline, lb.anchorcol, line, col);
    lb.startline = s.startline;
    lb.startcol = s.startcol;
    lb.endline = s.endline;
    lb.endcol = s.endcol;
    LeaveCriticalSection(&lb.lock);
}

static void contextmenu(HWND window, LPARAM point) {
    HMENU menu = CreatePopupMenu();
    if (!menu) {
        msgbox(captionerror, "twBUTTONDOWN: CreatePopupMenu failed");
        return;
    }
    AppendMenuA(menu, MF_STRING, IDM_PATROL, "Patrol");
    POINT p = {(LONG)LOWORD(point), (LONG)HIWORD(point)};
    ClientToScreen(window, &p);
    TrackPopupMenu(menu, 0, p.x, p.y, 0, window, nullptr);
    DestroyMenu(menu);
}

void twBUTTONDOWN(HWND window, WPARAM keyflags, LPARAM point) {
    lb.dragging = false;
    if (keyflags & MK_RBUTTON) {
        contextmenu(window, point);
        return;
    }
    if (!lb.first) return;
    lb.dragging = true;
    if (GetAsyncKeyState(VK_SHIFT) & 0x8000) {
        extendto(point);
    } else {
        int line, col;
        if (!getcoords(point, &line, &col)) return;
        EnterCriticalSection(&lb.lock);
        lb.anchorline = lb.startline = lb.endline = line;
        lb.anchorcol = lb.startcol = lb.endcol = col;
        LeaveCriticalSection(&lb.lock);
    }
    InvalidateRect(window, nullptr, FALSE);
}

void twMOUSEMOVE(HWND window, WPARAM keyflags, LPARAM point) {
    if (!lb.dragging) return;
    extendto(point);
    lb.dragging = (keyflags & MK_LBUTTON) != 0;
    InvalidateRect(window, nullptr, FALSE);
}
