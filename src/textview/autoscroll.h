// Rules of the output view that need no window: the cap, the auto-scroll rule and the
// selection run of one line.
#pragma once

const int maxlines = 4097;  // the chain holds at most this many lines

// The new top line after an append. count and top are taken after the append; dropped
// tells whether the oldest line left the chain in the same step.
int autoscrolltop(int count, int page, int top, bool dropped, long long now,
                  long long lastactivity);

struct Selection {
    int startline, startcol, endline, endcol;
};

// The selected run [a, b) of line `line`, whose text has `length` characters. A line
// that holds no part of the selection gives a = b = length.
void selrun(const Selection& s, int line, int length, int* a, int* b);
