#include "textview/selection.h"
#include <string.h>

static int clampcol(int col, int length) {
    if (col < 0) return 0;
    return col > length ? length : col;
}

void selrun(const Selection& s, int line, int length, int* a, int* b) {
    *a = *b = length;
    if (s.startline == s.endline && s.startcol == s.endcol) return;  // empty
    if (line < s.startline || line > s.endline) return;
    int from = line == s.startline ? clampcol(s.startcol, length) : 0;
    int to = line == s.endline ? clampcol(s.endcol, length) : length;
    if (from >= to) return;
    *a = from;
    *b = to;
}

Selection selfromanchor(int anchorline, int anchorcol, int line, int col) {
    Selection s;
    if (line > anchorline || (line == anchorline && col >= anchorcol)) {
        s.startline = anchorline;
        s.startcol = anchorcol;
        s.endline = line;
        s.endcol = col;
    } else {
        s.startline = line;
        s.startcol = col;
        s.endline = anchorline;
        s.endcol = anchorcol;
    }
    return s;
}

int selbytes(const Selection& s, int line, int length) {
    int a, b;
    selrun(s, line, length, &a, &b);
    return (b - a) + (line != s.endline ? 2 : 0);
}

int selput(const Selection& s, int line, const char* text, int length, char* out, int room) {
    int a, b;
    selrun(s, line, length, &a, &b);
    int n = b - a;
    if (n > room) n = room;
    if (n > 0) memcpy(out, text + a, n);
    int put = n > 0 ? n : 0;
    if (line != s.endline) {
        if (put < room) out[put++] = '\r';
        if (put < room) out[put++] = '\n';
    }
    return put;
}
