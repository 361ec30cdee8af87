// The configuration dialog: the period and the two ranges, checked before anything is
// applied; and the two address checks it shares with the report dialog.
#include "settings/configdlg.h"
#include "settings/rangecheck.h"
#include "app/mainwnd.h"
#include "app/notices.h"
#include "app/winutil.h"
#include "dialogs/textbox.h"
#include "monitor/records.h"
#include "resources/resource.h"
#include <winsock2.h>
#include <stdio.h>
#include <string.h>

UINT_PTR(WINAPI* configsettimer)(HWND, UINT_PTR, UINT, TIMERPROC) = SetTimer;

static const int patroltimer = 1;
static const int fields[4] = {IDC_LOW1, IDC_HIGH1, IDC_LOW2, IDC_HIGH2};

static const char helptext[] =
    "If only one IP range is required leave the other as 0.0.0.0 to 0.0.0.0\n"
    "IP limits can be DNS entries if needed.\n";

bool readaddressfield(HWND dialog, int id, Addr4* addr) {
    char text[260] = "";
    GetWindowTextA(GetDlgItem(dialog, id), text, sizeof text);
    unsigned long a = inet_addr(text);
    if (a != INADDR_NONE) {
        memcpy(addr->o, &a, 4);
        return true;
    }
    // An empty field names no host: the resolver would answer it with this machine.
    hostent* h = text[0] ? gethostbyname(text) : nullptr;
    if (!h || h->h_addrtype != AF_INET || h->h_length != 4 || !h->h_addr_list[0]) {
        msgbox(captionfailure, "Invalid Internet address <%s>", text);
        return false;
    }
    memcpy(addr->o, h->h_addr_list[0], 4);
    return true;
}

bool checkrange(const Addr4& low, const Addr4& high) {
    const unsigned char *l = low.o, *h = high.o;
    switch (rangefault(low, high)) {
    case rangesubnet:
        msgbox(captionfailure,
               "Range limits %d.%d.%d.%d and %d.%d.%d.%d must be in the same C class subnet",
               l[0], l[1], l[2], l[3], h[0], h[1], h[2], h[3]);
        return false;
    case rangeorder:
        msgbox(captionfailure,
               "Low host address %d.%d.%d.%d must be less than High host address %d.%d.%d.%d",
               l[0], l[1], l[2], l[3], h[0], h[1], h[2], h[3]);
        return false;
    case rangeok:
        break;
    }
    return true;
}

static void showaddress(HWND dialog, int id, const Addr4& a) {
    char text[32];
    snprintf(text, sizeof text, "%d.%d.%d.%d", a.o[0], a.o[1], a.o[2], a.o[3]);
    SetDlgItemTextA(dialog, id, text);
}

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
    loadrecords();  // a failure has shown its messages; the rest is applied all the same
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
            showtextbox(dialog, helptext, "HOSTWARDEN 5.3.3 Configuration Help");
            break;
        }
        return TRUE;
    }
    return FALSE;
}
