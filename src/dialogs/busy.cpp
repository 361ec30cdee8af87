// The busy indicator, made from its in-memory template.
#include "dialogs/busy.h"
#include "dialogs/busytemplate.h"
#include "common/notices.h"
#include "common/winutil.h"
#include <commctrl.h>
#include <stdio.h>

// The last update that did its work, for every indicator alike.
static HWND lastwindow = nullptr;
static int lastpercent = 0;

// The progress bar's class lives in the common controls library.
static void needprogressclass() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    done = InitCommonControlsEx(&icc) != FALSE;
}

INT_PTR CALLBACK busyDlg_Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        centerdialog(dialog);
        SetDlgItemTextA(dialog, busycaption, (const char*)lParam);
        SetDlgItemTextA(dialog, busypercent, "0%");
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(dialog);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

HWND busymessage(HWND owner, const char* text) {
    needprogressclass();
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(owner, GWLP_HINSTANCE);
    // A template that did not fit its buffer is never handed to the platform.
    HWND w = busytemplatesize ? CreateDialogIndirectParamA(instance, (LPCDLGTEMPLATEA)busytemplate,
                                                           owner, busyDlg_Proc, (LPARAM)text)
                              : nullptr;
    if (!w) msgbox(captionerror, "busymessage: CreateDialogParam failed\n");
    return w;
}

void setbusypercent(HWND window, int percent) {
    if (window == lastwindow && percent == lastpercent) return;
    lastwindow = window;
    lastpercent = percent;
    SendDlgItemMessageA(window, busybar, PBM_SETPOS, (WPARAM)percent, 0);
    char text[8];
    snprintf(text, sizeof text, "%d%%", percent);
    SetDlgItemTextA(window, busypercent, text);
}
