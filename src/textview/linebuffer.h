// The output view's data: the chain of lines and the view state, guarded by `lock`.
#pragma once
#include <windows.h>
#include "textview/selection.h"

struct OutputLine {
    OutputLine* next;  // next newer line, null for the newest
    char* text;        // the line as formatted, NUL-terminated
    int length;        // characters in text, terminator not counted
};

struct LineBuffer {
    int page;        // whole lines that fit in the client area
    int count;       // lines in the chain, 0..4097
    int top;         // index of the first line shown
    int lineheight;  // pixels from one line to the next
    int charwidth;   // average character width in pixels
    OutputLine* first;
    OutputLine* last;
    int leftcol;     // horizontal scroll position in character widths, 0..221
    HWND window;
    int wheelstep;   // wheel delta per line, 0 = wheel ignored
    bool dragging;
    int startline, endline, startcol, endcol;
    int anchorcol, anchorline;
    CRITICAL_SECTION lock;
    int wheelrest;   // wheel delta not yet turned into line scrolls
    int margin;      // the left margin in pixels: 10 at 96 DPI, scaled to the system DPI
};

extern LineBuffer lb;

// Test seam for the line allocations of twprintf (GlobalAlloc by default).
extern HGLOBAL(WINAPI* twalloc)(UINT flags, SIZE_T bytes);

inline Selection currentselection() {
    Selection s = {lb.startline, lb.startcol, lb.endline, lb.endcol};
    return s;
}
void resetselection();  // caller holds lock
