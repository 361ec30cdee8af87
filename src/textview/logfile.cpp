// The log file's state, name, opening and closing.
#include "textview/logfile.h"
#include "textview/linebuffer.h"
#include "app/state.h"
#include "app/mainwnd.h"
#include "app/notices.h"
#include "resources/resource.h"
#include "settings/parse.h"
#include "settings/profile.h"
#include <string.h>

bool logging = false;
FILE* logfile = nullptr;

static const char loggingcaption[] = "Log Open";

void logname(char* buf, int size, const SYSTEMTIME* when) {
    snprintf(buf, size, "HostwardenLog");
    int used = (int)strlen(buf);
    if (GetDateFormatA(0, 0, when, "MMddyy", buf + used, size - used) > 0)
        used = (int)strlen(buf);
    if (GetTimeFormatA(0, 0, when, "HHmmss", buf + used, size - used) > 0)
        used = (int)strlen(buf);
    snprintf(buf + used, size - used, ".txt");
}

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
    char name[1024], path[1300];
    logname(name, sizeof name, nullptr);
    snprintf(path, sizeof path, "%s%s", startfolder, name);  // messages name the file alone
    EnterCriticalSection(&lb.lock);
    if (logfile) fclose(logfile);
    logfile = fopen(path, "wt");
    if (!logfile) logging = false;
    bool opened = logfile != nullptr;
    LeaveCriticalSection(&lb.lock);
    if (!opened)
        msgbox(captionfailure, "Log File [%s] Open failed", name);
    else if (toggle)
        msgbox(loggingcaption, "Log File [%s] in use", name);
}

void closelog() {
    EnterCriticalSection(&lb.lock);
    logging = false;
    if (logfile) {
        fclose(logfile);
        logfile = nullptr;
    }
    LeaveCriticalSection(&lb.lock);
}
