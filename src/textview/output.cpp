// The output view's append, with the cap and the auto-scroll rule, and its clear.
#include "textview/output.h"
#include "textview/autoscroll.h"
#include "textview/linebuffer.h"
#include "textview/logfile.h"
#include "textview/view.h"
#include "common/clock.h"
#include "common/notices.h"
#include "common/state.h"
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

int twprintf(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    int length = (int)strlen(text);

    EnterCriticalSection(&lb.lock);
    resetselection();
    if (logging && logfile) fprintf(logfile, "%s\n", text);

    OutputLine* line = (OutputLine*)twalloc(GPTR, sizeof(OutputLine));
    char* copy = line ? (char*)twalloc(GPTR, length + 1) : nullptr;
    if (!copy) {
        DWORD err = GetLastError();
        if (line) GlobalFree(line);
        LeaveCriticalSection(&lb.lock);
        msgbox(captionerror, "Memory allocation failed <%d>", (int)err);
        return 0;
    }
    memcpy(copy, text, length + 1);
    line->text = copy;
    line->length = length;
    if (lb.first)
        lb.last->next = line;
    else
        lb.first = line;
    lb.last = line;

    bool dropped = false;
    if (lb.count > maxlines - 1) {
        // Drop the oldest line; count stays at the cap and the scroll bar keeps its range.
        OutputLine* old = lb.first;
        lb.first = old->next;
        dropped = true;
        if (GlobalFree(old->text) || GlobalFree(old)) {
            DWORD err = GetLastError();
            LeaveCriticalSection(&lb.lock);
            msgbox(captionerror, "Memory Freeing error %d", (int)err);
            return 0;
        }
    } else {
        // The line is counted before the lock is let go for the scroll bar calls, so a
        // clear in between never leaves count apart from the chain.
        bool firstunseen = lb.count == lb.page;
        lb.count++;
        if (firstunseen) {
            LeaveCriticalSection(&lb.lock);
            EnableScrollBar(lb.window, SB_VERT, ESB_ENABLE_BOTH);
            EnterCriticalSection(&lb.lock);
        }
        if (lb.count > lb.page) {
            // SIF_DISABLENOSCROLL: a range that fits in the page (page 0 before the first
            // size) disables the bar instead of hiding it; it stays visible throughout.
            SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, lb.count - 1,
                             (UINT)lb.page};
            LeaveCriticalSection(&lb.lock);
            // Redrawing the bar at once costs milliseconds per line under Wine; the frame
            // is invalidated instead, so the bar is drawn with the window's next paint.
            SetScrollInfo(lb.window, SB_VERT, &si, FALSE);
            RedrawWindow(lb.window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
            EnterCriticalSection(&lb.lock);
        }
    }
    lb.top = autoscrolltop(lb.count, lb.page, lb.top, dropped, now64(), lastactivity);
    LeaveCriticalSection(&lb.lock);
    InvalidateRect(lb.window, nullptr, FALSE);
    return 1;
}

void clearoutput() {
    EnterCriticalSection(&lb.lock);
    while (lb.first) {
        OutputLine* line = lb.first;
        if (line->text && GlobalFree(line->text)) break;
        line->text = nullptr;
        lb.first = line->next;
        lb.count--;
        if (GlobalFree(line)) {
            // The record is out of the chain already; nothing reachable was released.
            DWORD err = GetLastError();
            if (!lb.first) {
                lb.last = nullptr;
                lb.count = 0;
            }
            LeaveCriticalSection(&lb.lock);
            msgbox(captionerror, "Memory Freeing error %d", (int)err);
            return;
        }
    }
    if (lb.first) {
        DWORD err = GetLastError();
        LeaveCriticalSection(&lb.lock);
        msgbox(captionerror, "Memory Freeing error %d", (int)err);
        return;
    }
    lb.first = lb.last = nullptr;
    lb.top = 0;
    lb.count = 0;
    resetselection();
    LeaveCriticalSection(&lb.lock);
    twsetpage();
    InvalidateRect(lb.window, nullptr, FALSE);
}
