// The log file's state, opening and closing.
#include "textview/logfile.h"
#include "textview/linebuffer.h"

bool logging = false;
FILE* logfile = nullptr;

void setuplog(bool) {}

void closelog() {
    EnterCriticalSection(&lb.lock);
    logging = false;
    if (logfile) {
        fclose(logfile);
        logfile = nullptr;
    }
    LeaveCriticalSection(&lb.lock);
}
