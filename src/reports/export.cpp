// Export Summary and Export Everything: append to a text file the user picks.
#include "reports/export.h"
#include "reports/choosefile.h"
#include "reports/summaryline.h"
#include "common/clock.h"
#include "common/notices.h"
#include "monitor/recordmac.h"
#include "resources/resource.h"
#include "settings/profile.h"
#include "textview/linebuffer.h"
#include <commdlg.h>
#include <stdio.h>

static const char exportfilter[] = "Text Files\0*.txt\0All Files\0*.*\0";

static void writeeverything(FILE* f) {
    EnterCriticalSection(&lb.lock);
    for (OutputLine* l = lb.first; l; l = l->next) fprintf(f, "%s\n", l->text);
    LeaveCriticalSection(&lb.lock);
}

static void writesummary(FILE* f) {
    char text[260];
    if (!GetTimeFormatA(0, 0, nullptr, nullptr, text, sizeof text)) text[0] = 0;
    fprintf(f, "%s ", text);
    if (!GetDateFormatA(0, 0, nullptr, nullptr, text, sizeof text)) text[0] = 0;
    fprintf(f, "%s\n", text);
    for (HostRecord* r = hostlist; r; r = r->next) {
        // A patrol started from the file dialog's message loop may be updating the
        // record: format a copy, with the MAC read through the patrol's guard.
        HostRecord copy = *r;
        getmac(r, copy.mac);
        char line[1024];
        formatsummaryline(line, sizeof line, copy, now64());
        fputs(line, f);
    }
}

void exportfile(int command) {
    char path[MAX_PATH];
    if (!choosefile(keyexport, exportfilter, "Select Text File", OFN_EXPLORER | OFN_HIDEREADONLY,
                    path))
        return;
    FILE* f = fopen(path, "at+");
    if (!f) {
        msgbox(captionerror, "Cannot open <%s>", path);
        return;
    }
    if (command == IDM_EXPORTALL)
        writeeverything(f);
    else if (command == IDM_EXPORTSUMMARY)
        writesummary(f);
    // A full disk shows only here: the lines may have gone no further than the buffer.
    bool written = !ferror(f);
    written = fclose(f) == 0 && written;
    if (!written) msgbox(captionerror, "Cannot write <%s>", path);
}
