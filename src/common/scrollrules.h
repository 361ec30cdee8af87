// Scroll arithmetic shared by the output view and the scrolling text box; window-free.
#pragma once

// Scroll request codes, as the system numbers them (SB_LINEUP = SB_LINELEFT = 0, ...).
enum {
    scrolllineback = 0,
    scrolllineahead = 1,
    scrollpageback = 2,
    scrollpageahead = 3,
    scrollthumbposition = 4,
    scrollthumbtrack = 5
};

// The new position for a request: one line or one page back or ahead, the thumb's
// position for the thumb requests, and `pos` unchanged for every other request.
int scrollrequest(int request, int pos, int page, int thumb);
// Not above max - page + 1 (the last position that fills a page), then not below 0.
int scrollclamp(int pos, int max, int page);

// Wheel delta that scrolls one line for a lines-per-notch setting; 0 = wheel ignored
// (no lines, or more than a notch's 120: the one-page-per-notch setting included).
int wheelstepfor(unsigned lines);
// Adds delta to *rest and takes whole steps out of it: the lines to scroll up (positive)
// or down (negative). What is left stays in *rest for the next notch.
int wheellines(int* rest, int step, int delta);
