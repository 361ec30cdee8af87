// The output view's selection as rules that need no window: the selected run of a
// line, the selection a drag from the anchor makes, and what each line gives to the
// clipboard text.
#pragma once

struct Selection {
    int startline, startcol, endline, endcol;
};

// The selected run [a, b) of line `line`, whose text has `length` characters. A line
// that holds no part of the selection gives a = b = length.
void selrun(const Selection& s, int line, int length, int* a, int* b);
// The selection from the anchor to a position, start never after end.
Selection selfromanchor(int anchorline, int anchorcol, int line, int col);
// Bytes line `line` (of `length` characters) adds to the clipboard text: its selected
// run, and CR LF when it is not the selection's end line.
int selbytes(const Selection& s, int line, int length);
// Writes that part to out, at most room bytes; returns the bytes written.
int selput(const Selection& s, int line, const char* text, int length, char* out, int room);
