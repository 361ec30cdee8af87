// Reports, exports, ARP dump and vendor lookup (not built yet).
#include "reports/reports.h"

INT_PTR CALLBACK reportDlg_Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND) {
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
void hostreport(const Addr4&, const Addr4&, int) {}
bool choosefile(const char*, const char*, const char*, DWORD, char*) { return false; }
void exportfile(int) {}
void dumparptable() {}
void companylookup() {}
