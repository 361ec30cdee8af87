// The main window procedure: creation sequence, timer, power messages, shutdown.
#include "app/mainwnd.h"
#include "app/attention.h"
#include "app/commands.h"
#include "app/notice.h"
#include "common/clock.h"
#include "common/notices.h"
#include "common/state.h"
#include "common/winutil.h"
#include "events/events.h"
#include "monitor/hostlist.h"
#include "monitor/patrol.h"
#include "monitor/records.h"
#include "reports/makerlookup.h"
#include "settings/configdlg.h"
#include "settings/placement.h"
#include "settings/parse.h"
#include "settings/profile.h"
#include "textview/logfile.h"
#include "textview/output.h"
#include "textview/view.h"
#include <stdio.h>

// The ranges and the period are saved once per window: the close runs the shutdown
// again when the window is destroyed, and a failure is told once.
static bool settingssaved;

static void creationsequence(HWND window) {
    mainwindow = window;
    settingssaved = false;
    profileclosing = false;
    rebuildrecords = loadrecords;  // the configuration dialog's OK rebuilds the list
    registernotice(window);
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
    eventmaker = makerof;
    eventsinit();
    setuplog(false);
    SetTimer(window, patroltimer, periodelapse(period), nullptr);
    startpatrol();
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

// Answers what other threads send to this one and paints, without taking input or
// commands: the window does not look hung while the close waits.
static void answermessages() {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_SENDMESSAGE | QS_PAINT);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
}

// Waits until every save has landed. One still held after as long as a running save
// waits before it is told, or one refused, is told once, after all the saves were made,
// with the choice to wait again (Retry) or close without it (Cancel).
static void waitforsaves() {
    for (;;) {
        DWORD start = GetTickCount();
        SaveOutcome o;
        while ((o = profilesettle(50)) == saveheld && (int)(GetTickCount() - start) < profileheldtellms)
            answermessages();
        if (o == savelanded) return;
        if (msgboxchoice(captionfailure, MB_RETRYCANCEL, "%s", profileleft(o).c_str()) != IDRETRY) {
            profilediscard();
            return;
        }
        profileretry();
    }
}

// Safe to run more than once: a second run finds no patrol, no log and no records.
void shutdownsequence(bool logoff) {
    if (patrolling) {
        exitrequest = true;
        waitforpatrol();
    }
    // The window is still there: its icon goes with it, and news not yet taken with it.
    removenotice(mainwindow);
    takechanges();
    // The patrol's last events into the journal before the saves (they are quick unless
    // another program holds it, and then they wait no longer than this).
    eventsclose(1000);
    KillTimer(mainwindow, patroltimer);
    closelog();
    profileclosing = true;  // what the saves leave is told once, after all of them
    if (logoff) {
        // Windows shows this while the session waits for the program; the records go
        // first, the session may end before the rest.
        ShutdownBlockReasonCreate(mainwindow, L"Saving the records to Hostwarden.INI");
        saverecords();
    }
    if (!settingssaved) {
        // The ranges and the period as one change.
        settingssaved = true;
        ProfileChange change;
        change.putaddress(keylowhost, lowhost);
        change.putaddress(keyhighhost, highhost);
        change.putaddress(keylowhost2, lowhost2);
        change.putaddress(keyhighhost2, highhost2);
        char text[16];
        snprintf(text, sizeof text, "%d", period);
        change.put(keyperiod, text);
        change.end();
    }
    clearoutput();
    saveplacement(mainwindow, progname);
    if (!logoff) saverecords();
    waitforsaves();
    if (logoff) ShutdownBlockReasonDestroy(mainwindow);
    listdiscard(hostlisthead());
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
        shutdownsequence(true);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_CLOSE:
        shutdownsequence();
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SIZE:
        noticeseen(window);  // restored while already the foreground window
        lastactivity = now64();
        return 0;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
        noticeseen(window);
        break;
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
        if (wParam == noticetimer) {
            noticeretry(window);
            return 0;
        }
        startpatrol();
        if (exitrequest) DestroyWindow(window);
        return 0;
    case WM_MACCHANGED:
        askattention(window);
        shownotice(window, takechanges());
        return 0;
    case WM_PROFILENOTICE:
        profilenotice();
        return 0;
    case WM_EVENTNOTICE:
        eventsnotice();
        return 0;
    case WM_NOTICEICON:
        noticeclicked(window, lParam);
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMSUSPEND) suspended = true;
        return 0;
    }
    if (message == taskbarcreated && taskbarcreated) noticeagain(window);
    return DefWindowProcA(window, message, wParam, lParam);
}
