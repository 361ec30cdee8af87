// The main window procedure: creation sequence, command dispatch, timer, shutdown.
#include "app/mainwnd.h"
#include "app/clock.h"
#include "app/notices.h"
#include "app/state.h"
#include "dialogs/textbox.h"
#include "monitor/hostlist.h"
#include "monitor/patrol.h"
#include "monitor/records.h"
#include "reports/reports.h"
#include "resources/resource.h"
#include "settings/configdlg.h"
#include "settings/placement.h"
#include "settings/parse.h"
#include "settings/profile.h"
#include "textview/linebuffer.h"
#include "textview/logfile.h"
#include "textview/output.h"
#include <stdio.h>
#include <stdlib.h>

HWND mainwindow = nullptr;

const char abouttext[] =
    "A program to monitor a couple of ranges of local IPs.\n\nUse Report / Report to monitor a "
    "DHCP pool where you are primarily\n\tinterested in seeing if MAC addresses stay the same.\n"
    "  Machines must be in same subnet as Hostwarden machine (see\n  subnet mask in TCP/IP "
    "settings) to determine MAC addresses.Use Report / Company to examine manufactuers of MAC "
    "addresses.\n\tThis will require a text lookup file, usually OUI.TXT available\n\tfrom "
    "https://standards-oui.ieee.org/oui/oui.txt";

static const int patroltimer = 1;

static void creationsequence(HWND window) {
    mainwindow = window;
    SetWindowTextA(window, progtitle);
    restoreplacement(window, progname);
    char buf[profilebuf];
    if (getprofile(keyperiod, buf)) period = parseleadingint(buf);
    readaddresskey(keylowhost, &lowhost);
    readaddresskey(keyhighhost, &highhost);
    readaddresskey(keylowhost2, &lowhost2);
    readaddresskey(keyhighhost2, &highhost2);
    if (!loadrecords()) {
        DestroyWindow(window);
        return;
    }
    setuplog(false);
    SetTimer(window, patroltimer, (UINT)period * 1000u, nullptr);
    startpatrol();
}

static void putaddress(const char* key, const Addr4& a) {
    char text[32];
    snprintf(text, sizeof text, "%d %d %d %d", a.o[0], a.o[1], a.o[2], a.o[3]);
    putprofile(key, text);
}

// Waits for the patrol to end, looking every 100 ms. Posted messages (input, ticks,
// commands) stay queued; messages the patrol thread sends to this thread's windows on
// its way out (the activation handed back when its busy indicator goes, on Windows)
// are answered, so that it never waits on this wait.
static void waitforpatrol() {
    while (patrolling) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Safe to run more than once: a second run finds no patrol, no log and no records.
void shutdownsequence() {
    if (patrolling) {
        exitrequest = true;
        waitforpatrol();
    }
    KillTimer(mainwindow, patroltimer);
    closelog();
    putaddress(keylowhost, lowhost);
    putaddress(keyhighhost, highhost);
    putaddress(keylowhost2, lowhost2);
    putaddress(keyhighhost2, highhost2);
    char text[16];
    snprintf(text, sizeof text, "%d", period);
    putprofile(keyperiod, text);
    clearoutput();
    saveplacement(mainwindow, progname);
    saverecords();
    listdiscard(hostlisthead());
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
        showtextbox(window, abouttext, "About HOSTWARDEN 5.3.3");
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

LRESULT CALLBACK mainwndproc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    twproc(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        creationsequence(window);
        return 0;
    case WM_DESTROY:
        shutdownsequence();
        PostQuitMessage(0);
        return 0;
    case WM_ENDSESSION:
        // FALSE: the logoff was cancelled and the session goes on, so does the watch.
        if (!wParam) return 0;
        shutdownsequence();
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_CLOSE:
        shutdownsequence();
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SIZE:
    case WM_KEYDOWN:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_MOUSEWHEEL:
        lastactivity = now64();
        return 0;
    case WM_COMMAND:
        dispatchcommand(window, LOWORD(wParam));
        return 0;
    case WM_TIMER:
        startpatrol();
        if (exitrequest) DestroyWindow(window);
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMSUSPEND) suspended = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
