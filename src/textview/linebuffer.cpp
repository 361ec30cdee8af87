// The line buffer's data: the chain and the view state, and the selection's reset.
#include "textview/linebuffer.h"

LineBuffer lb = {0, 0, 0, 20, 10};
HGLOBAL(WINAPI* twalloc)(UINT flags, SIZE_T bytes) = GlobalAlloc;

void resetselection() {
    lb.startline = lb.startcol = lb.endline = lb.endcol = 0;
}
