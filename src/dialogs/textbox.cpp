// The scrolling text box: a modal box from the in-memory template, fitted to the text's
// widest line before every showing, with a scroll bar choosing the first line shown and
// a Copy button for the whole text.
#include "dialogs/textbox.h"
#include "dialogs/textboxfit.h"
#include "common/scrollrules.h"
#include "common/clipboard.h"
#include "common/notices.h"
#include "common/winutil.h"
#include <string.h>

namespace {

enum { idtext = 101, idscroll = 102, idcopy = 103 };
const int linesperpage = 8;

struct TextboxParams {
    const char* text;
    const char* title;
};

// The text of the open box; the caller owns it and keeps it while the box is open.
const char* showntext = "";

bool measureline(void* context, const char* s, int n, int* width) {
    SIZE sz;
    if (!GetTextExtentPoint32A((HDC)context, s, n, &sz)) {
        debugprintf("GetTextExtentPoint32 failed\n");
        return false;
    }
    *width = sz.cx;
    return true;
}

// Measures with the dialog's own font on the owner's device context. Without a device
// context nothing can be measured: the template keeps the sizes it has.
void fittemplate(HWND owner, const char* text) {
    HDC dc = GetDC(owner);
    if (!dc) {
        debugprintf("GetDC failed\n");
        return;
    }
    char face[32] = "";
    if (!WideCharToMultiByte(CP_ACP, 0, (LPCWCH)(tbtemplate.words + tbtemplate.facename), -1,
                             face, sizeof face, nullptr, nullptr)) {
        char* e = syserrortext();
        debugprintf("WideCharToMultiByte failed: %s", e);
        LocalFree(e);
        face[0] = 0;
    }
    int height = -MulDiv(tbget(tbtemplate, tbtemplate.pointsize), GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DRAFT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, face);
    HGDIOBJ old = nullptr;
    if (!font) {
        debugprintf("CreateFont failed\n");
    } else {
        old = SelectObject(dc, font);
        if (!old || old == HGDI_ERROR) {
            debugprintf("SelectObject failed\n");
            old = nullptr;
        }
    }
    int a = 0;
    SIZE sz;
    if (GetTextExtentPoint32A(dc, tbalphabet, 62, &sz))
        a = sz.cx / 62;
    else
        debugprintf("GetTextExtentPoint32 failed\n");
    if (a > 0) tbfit(&tbtemplate, tbwidest(text, a, measureline, dc), a);
    if (old) SelectObject(dc, old);
    if (font) DeleteObject(font);
    ReleaseDC(owner, dc);
}

void setfirstline(HWND box, int p) {
    SetDlgItemTextA(box, idtext, skiplines(p, showntext));
}

void copytext(HWND box) {
    size_t n = strlen(showntext);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, n + 1);
    if (!block) {
        msgbox(captionfailure, "textboxDlg_Proc: GlobalAlloc failed -- maybe out of memory");
        return;
    }
    char* out = (char*)GlobalLock(block);
    if (!out) {
        GlobalFree(block);
        msgbox(captionfailure, "textboxDlg_Proc: GlobalLock failed");
        return;
    }
    memcpy(out, showntext, n + 1);
    GlobalUnlock(block);
    switch (placeonclipboard(box, block)) {
    case clipbusy:
        return;
    case cliprefused:
        msgbox(captionerror, "textboxDlg_Proc: SetClipboardData failed");
        return;
    case clipplaced:
        break;
    }
    msgbox("Success", "Text copied to ClipBoard.");
}

void scroll(HWND box, WPARAM wParam) {
    HWND bar = GetDlgItem(box, idscroll);
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS};
    GetScrollInfo(bar, SB_CTL, &si);
    int p = scrollrequest(LOWORD(wParam), si.nPos, (int)si.nPage, HIWORD(wParam));
    p = scrollclamp(p, si.nMax, (int)si.nPage);
    setfirstline(box, p);
    si.fMask = SIF_POS;
    si.nPos = p;
    SetScrollInfo(bar, SB_CTL, &si, TRUE);
}

}  // namespace

INT_PTR CALLBACK textboxDlg_Proc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const TextboxParams* p = (const TextboxParams*)lParam;
        showntext = p ? p->text : "";
        SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, tblinecount(showntext),
                         linesperpage, 0};
        SetScrollInfo(GetDlgItem(box, idscroll), SB_CTL, &si, TRUE);
        centerdialog(box);
        setfirstline(box, 0);
        if (p) SetWindowTextA(box, p->title);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(box, 0);
            return TRUE;
        case idcopy:
            copytext(box);
            return FALSE;
        }
        return FALSE;
    case WM_VSCROLL:
        scroll(box, wParam);
        return FALSE;
    }
    return FALSE;
}

void showtextbox(HWND owner, const char* text, const char* title) {
    if (!text) text = "";
    if (!title) title = "";
    fittemplate(owner, text);
    HINSTANCE instance = owner ? (HINSTANCE)GetWindowLongPtrA(owner, GWLP_HINSTANCE) : nullptr;
    if (!instance) instance = GetModuleHandleA(nullptr);
    TextboxParams params = {text, title};
    // A template that did not fit its buffer is never handed to the platform.
    INT_PTR r = -1;
    if (tbtemplate.size)
        r = DialogBoxIndirectParamA(instance, (LPCDLGTEMPLATEA)tbtemplate.words, owner,
                                    textboxDlg_Proc, (LPARAM)&params);
    else
        SetLastError(ERROR_INVALID_DATA);
    if (r == -1) {
        char* e = syserrortext();
        msgbox(captionerror, "DialogBoxIndirectParam failed:\n%s", e);
        LocalFree(e);
    }
}
