// The output view's cap and auto-scroll rule; window-free.
#pragma once

const int maxlines = 4097;  // the chain holds at most this many lines

// The new top line after an append. count and top are taken after the append; dropped
// tells whether the oldest line left the chain in the same step.
int autoscrolltop(int count, int page, int top, bool dropped, long long now,
                  long long lastactivity);
