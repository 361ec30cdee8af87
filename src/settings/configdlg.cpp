// The configuration dialog: the period and the two ranges, checked before anything is
// applied.
#include "settings/configdlg.h"
#include "settings/addressfields.h"
#include "common/notices.h"
#include "common/state.h"
#include "common/winutil.h"
#include "dialogs/textbox.h"
#include "resources/resource.h"
#include "version.h"

UINT_PTR(WINAPI* configsettimer)(HWND, UINT_PTR, UINT, TIMERPROC) = SetTimer;
bool (*rebuildrecords)() = nullptr;

static const int fields[4] = {IDC_LOW1, IDC_HIGH1, IDC_LOW2, IDC_HIGH2};

static const char helptext[] =
    "If only one IP range is required leave the other as 0.0.0.0 to 0.0.0.0\n"
    "IP limits can be DNS entries if needed.\n";

// Nothing changes unless all four fields read and both ranges pass. A patrol started by
// the timer while the dialog was open walks the HostList, which must not be rebuilt
// under it: then nothing is applied and the dialog stays open for another try.
static void apply(HWND dialog) {
    Addr4 a[4];
    for (int i = 0; i < 4; i++)
        if (!readaddressfield(dialog, fields[i], &a[i])) return;
    if (!checkrange(a[0], a[1]) || !checkrange(a[2], a[3])) return;
    if (patrolling) {
        msgbox(captionfailure,
               "Can't apply the configuration while patrolling!\nNothing has been changed. "
               "Press OK again when the patrol has ended, or Cancel.");
        return;
    }
    lowhost = a[0];
    highhost = a[1];
    lowhost2 = a[2];
    highhost2 = a[3];
    // A failure has shown its messages; the rest is applied all the same.
    if (rebuildrecords) rebuildrecords();
    period = (int)GetDlgItemInt(dialog, IDC_PERIOD, nullptr, FALSE);
    KillTimer(mainwindow, patroltimer);
    configsettimer(mainwindow, patroltimer, periodelapse(period), nullptr);
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK configDlg_Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        centerdialog(dialog);
        SetDlgItemInt(dialog, IDC_PERIOD, (UINT)period, FALSE);
        showaddress(dialog, IDC_LOW1, lowhost);
        showaddress(dialog, IDC_HIGH1, highhost);
        showaddress(dialog, IDC_LOW2, lowhost2);
        showaddress(dialog, IDC_HIGH2, highhost2);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            apply(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, 0);
            break;
        case IDC_HELPBUTTON:
            showtextbox(dialog, helptext, "HOSTWARDEN " HW_VERSION " Configuration Help");
            break;
        }
        return TRUE;
    }
    return FALSE;
}
