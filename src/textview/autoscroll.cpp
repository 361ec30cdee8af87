#include "textview/viewrules.h"

int autoscrolltop(int count, int page, int top, bool dropped, long long now,
                  long long lastactivity) {
    if (count < page) return 0;
    if (top == count - page - 1) return count - page;  // was showing the newest line
    if (now > lastactivity + 300) return count - page;  // user idle: jump to the newest
    if (dropped) return top > 0 ? top - 1 : 0;          // keep the same lines in view
    return top;
}

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
