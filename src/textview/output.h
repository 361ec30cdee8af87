// The output view's append and clear, callable without the window headers.
#pragma once

// Formats one line (at most 1023 characters) and appends it to the view; any thread.
// Returns 1, or 0 after a failure it has reported with msgbox.
int twprintf(const char* format, ...);
// Discards every line and resets the view; window thread.
void clearoutput();
