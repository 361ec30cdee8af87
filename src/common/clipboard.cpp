#include "common/clipboard.h"

ClipResult placeonclipboard(HWND owner, HGLOBAL block) {
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return clipbusy;
    }
    EmptyClipboard();
    bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    if (taken) return clipplaced;
    GlobalFree(block);
    return cliprefused;
}
