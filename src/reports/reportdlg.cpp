// The report dialog: asks for the range, remembers it and runs the report.
#include "reports/reportdlg.h"
#include "common/winutil.h"
#include "dialogs/textbox.h"
#include "resources/resource.h"
#include "reports/hostreport.h"
#include "settings/addressfields.h"
#include "settings/profile.h"
#include "version.h"

Addr4 reportlow, reporthigh;
static int sortkind;  // of the open dialog

static const char reporthelp[] =
    "The report is designed to cater to DHCP\npools and as such lists a subset of total\n"
    "possible IPs that Hostwarden can poll sorted\nby number of replies received or total "
    "time\nthe IP has been registered for.  In addtion\nit also reports how recently a given "
    "IP was used.\n";

static void confirm(HWND dialog) {
    Addr4 low, high;
    if (!readaddressfield(dialog, IDC_LOW1, &low)) return;
    if (!readaddressfield(dialog, IDC_HIGH1, &high)) return;
    if (!checkrange(low, high)) return;
    reportlow = low;
    reporthigh = high;
    putaddresskey(keyreportlow, reportlow);
    putaddresskey(keyreporthigh, reporthigh);
    hostreport(reportlow, reporthigh, sortkind);
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK reportDlg_Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        sortkind = (int)lParam;
        centerdialog(dialog);
        if (!readaddresskey(keyreportlow, &reportlow)) reportlow = lowhost;
        if (!readaddresskey(keyreporthigh, &reporthigh)) reporthigh = highhost;
        showaddress(dialog, IDC_LOW1, reportlow);
        showaddress(dialog, IDC_HIGH1, reporthigh);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            confirm(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, 0);
            break;
        case IDC_HELPBUTTON:
            showtextbox(dialog, reporthelp, "HOSTWARDEN VERS " HW_VERSION " Report Help");
            break;
        }
        return TRUE;
    }
    return FALSE;
}
