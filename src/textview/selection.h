// The selection's side of the view that needs no window: the selection made by a drag
// from the anchor, and what each line gives to the clipboard text.
#pragma once
#include "textview/viewrules.h"

// The selection from the anchor to a position, start never after end.
Selection selfromanchor(int anchorline, int anchorcol, int line, int col);
// Bytes line `line` (of `length` characters) adds to the clipboard text: its selected
// run, and CR LF when it is not the selection's end line.
int selbytes(const Selection& s, int line, int length);
// Writes that part to out, at most room bytes; returns the bytes written.
int selput(const Selection& s, int line, const char* text, int length, char* out, int room);
