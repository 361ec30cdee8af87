// Text onto the clipboard, for the output view's copy and the text box's.
#pragma once
#include <windows.h>

enum ClipResult {
    clipplaced,   // the clipboard holds the text and owns the block now
    clipbusy,     // the clipboard could not be opened (another program holds it)
    cliprefused,  // SetClipboardData failed
};

// Places a GMEM_MOVEABLE block of NUL-terminated text as CF_TEXT; the block is freed
// here unless the clipboard took it. The caller tells the user what it wants to.
ClipResult placeonclipboard(HWND owner, HGLOBAL block);
