// Copy of the output view's selection to the clipboard as plain text.
#include "textview/copy.h"
#include "textview/linebuffer.h"
#include "textview/selection.h"
#include "common/clipboard.h"
#include "common/notices.h"

// The line numbered `n`, or null past the newest. Caller holds lock.
static OutputLine* lineat(int n) {
    OutputLine* l = lb.first;
    for (int i = 0; l && i < n; i++) l = l->next;
    return l;
}

static int countbytes() {
    Selection s = currentselection();
    int n = 0;
    OutputLine* l = lineat(s.startline);
    for (int i = s.startline; l && i <= s.endline; i++, l = l->next) n += selbytes(s, i, l->length);
    return n;
}

// Copies at most room bytes; an append since the count reset the selection, and then
// less or nothing is copied.
static int copybytes(char* out, int room) {
    Selection s = currentselection();
    int n = 0;
    OutputLine* l = lineat(s.startline);
    for (int i = s.startline; l && i <= s.endline; i++, l = l->next)
        n += selput(s, i, l->text, l->length, out + n, room - n);
    return n;
}

bool copyllsel(HWND window) {
    EnterCriticalSection(&lb.lock);
    int count = countbytes();
    LeaveCriticalSection(&lb.lock);

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, count + 1);
    if (!block) {
        msgbox(captionfailure, "copyllsel: GlobalAlloc failed -- maybe out of memory");
        return false;
    }
    char* out = (char*)GlobalLock(block);
    if (!out) {
        msgbox(captionfailure, "copyllsel: GlobalLock failed");
        GlobalFree(block);
        return false;
    }
    EnterCriticalSection(&lb.lock);
    int n = copybytes(out, count);
    LeaveCriticalSection(&lb.lock);
    out[n] = 0;
    GlobalUnlock(block);

    if (placeonclipboard(window, block) == cliprefused)
        msgbox(captionerror, "copyllsel: SetClipboardData failed");
    return true;
}
