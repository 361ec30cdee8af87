// The configuration dialog (not built yet).
#include "settings/configdlg.h"

INT_PTR CALLBACK configDlg_Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND) {
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
bool readaddressfield(HWND, int, Addr4*) { return false; }
bool checkrange(const Addr4&, const Addr4&) { return false; }
