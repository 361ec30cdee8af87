// The menu's commands: their dispatch, the refusals while a patrol runs, the About box
// and the log switch.
#include "app/commands.h"
#include "common/notices.h"
#include "common/state.h"
#include "common/winutil.h"
#include "dialogs/textbox.h"
#include "monitor/patrol.h"
#include "monitor/records.h"
#include "reports/arpdump.h"
#include "reports/export.h"
#include "reports/reportdlg.h"
#include "reports/vendorlookup.h"
#include "resources/resource.h"
#include "settings/configdlg.h"
#include "settings/parse.h"
#include "settings/profile.h"
#include "textview/logfile.h"
#include "textview/output.h"
#include "version.h"

const char abouttext[] =
    "A program to monitor a couple of ranges of local IPs.\n\nUse Report / Report to monitor a "
    "DHCP pool where you are primarily\n\tinterested in seeing if MAC addresses stay the same.\n"
    "  Machines must be in same subnet as Hostwarden machine (see\n  subnet mask in TCP/IP "
    "settings) to determine MAC addresses.Use Report / Company to examine manufactuers of MAC "
    "addresses.\n\tThis will require a text lookup file, usually OUI.TXT available\n\tfrom "
    "https://standards-oui.ieee.org/oui/oui.txt";

static const char loggingcaption[] = "Log Open";

static void checklogitem(bool on) {
    CheckMenuItem(GetMenu(mainwindow), IDM_LOGS, on ? MF_CHECKED : MF_UNCHECKED);
    DrawMenuBar(mainwindow);
}

void setuplog(bool toggle) {
    char value[profilebuf];
    if (getprofile(keylogs, value)) logging = parseleadingint(value) != 0;
    if (toggle) {
        if (logging) {
            closelog();
            putprofile(keylogs, "0");
            checklogitem(false);
            return;
        }
        logging = true;
        putprofile(keylogs, "1");
    }
    if (!logging) {
        checklogitem(false);
        return;
    }
    checklogitem(true);
    char name[1024];
    logname(name, sizeof name, nullptr);
    if (!openlog(name))
        msgbox(captionfailure, "Log File [%s] Open failed", name);
    else if (toggle)
        msgbox(loggingcaption, "Log File [%s] in use", name);
}

// True (after the notice) when a patrol runs and the command must be refused.
static bool refusedwhilepatrolling() {
    if (!patrolling) return false;
    msgbox(captionfailure, "Can't do that while patrolling!");
    return true;
}

static void rundialog(HWND window, int resource, DLGPROC proc, LPARAM param) {
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(resource), window, proc, param);
}

void dispatchcommand(HWND window, int id) {
    switch (id) {
    case IDM_EXIT:
        DestroyWindow(window);
        break;
    case IDM_CONFIG:
        if (!refusedwhilepatrolling()) rundialog(window, IDD_CONFIG, configDlg_Proc, 0);
        break;
    case IDM_CLEAR:
        if (!refusedwhilepatrolling()) clearoutput();
        break;
    case IDM_ABOUT:
        showtextbox(window, abouttext, "About HOSTWARDEN " HW_VERSION);
        break;
    case IDM_PATROL:
        startpatrol();
        if (exitrequest) DestroyWindow(window);
        break;
    case IDM_DUMPARP:
        if (!refusedwhilepatrolling()) dumparptable();
        break;
    case IDM_EXPORTSUMMARY:
    case IDM_EXPORTALL:
        if (!refusedwhilepatrolling()) exportfile(id);
        break;
    case IDM_RESETRECORDS:
        if (!refusedwhilepatrolling()) resetrecords();
        break;
    case IDM_REPORTTIME:
        if (!refusedwhilepatrolling()) rundialog(window, IDD_REPORT, reportDlg_Proc, 2);
        break;
    case IDM_LOOKUP:
        companylookup();
        break;
    case IDM_REPORTREPLIES:
        if (!refusedwhilepatrolling()) rundialog(window, IDD_REPORT, reportDlg_Proc, 1);
        break;
    case IDM_STOPPATROL:
        if (patrolling) stoprequest = true;
        break;
    case IDM_LOGS:
        setuplog(true);
        break;
    }
}

