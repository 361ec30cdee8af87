// The log file's state, name, opening and closing.
#include "textview/logfile.h"
#include "textview/linebuffer.h"
#include "common/state.h"
#include <stdio.h>
#include <string.h>

bool logging = false;
FILE* logfile = nullptr;

void logname(char* buf, int size, const SYSTEMTIME* when) {
    snprintf(buf, size, "HostwardenLog");
    int used = (int)strlen(buf);
    if (GetDateFormatA(0, 0, when, "MMddyy", buf + used, size - used) > 0)
        used = (int)strlen(buf);
    if (GetTimeFormatA(0, 0, when, "HHmmss", buf + used, size - used) > 0)
        used = (int)strlen(buf);
    snprintf(buf + used, size - used, ".txt");
}

bool openlog(const char* name) {
    char path[1300];
    snprintf(path, sizeof path, "%s%s", startfolder, name);
    EnterCriticalSection(&lb.lock);
    if (logfile) fclose(logfile);
    logfile = fopen(path, "wt");
    if (!logfile) logging = false;
    bool opened = logfile != nullptr;
    LeaveCriticalSection(&lb.lock);
    return opened;
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
