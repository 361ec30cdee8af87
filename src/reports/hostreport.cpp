#include "reports/hostreport.h"
#include "reports/reportfmt.h"
#include "common/clock.h"
#include "common/notices.h"
#include "monitor/recordmac.h"
#include "textview/output.h"
#include <stdlib.h>

void* (*reportalloc)(size_t count, size_t size) = calloc;

int selectrange(const HostRecord* head, const Addr4& low, const Addr4& high, HostRecord* out,
                int room) {
    int found = 0;
    for (int v = low.o[3]; v <= high.o[3]; v++) {
        Addr4 a = {{low.o[0], low.o[1], low.o[2], (unsigned char)v}};
        for (const HostRecord* r = head; r; r = r->next) {
            if (!addrequal(r->addr, a)) continue;
            if (out && found < room) {
                out[found] = *r;
                getmac(r, out[found].mac);
                out[found].next = nullptr;
            }
            found++;
            break;
        }
    }
    return found;
}

void hostreport(const Addr4& low, const Addr4& high, int kind) {
    twprintf("");
    int n = selectrange(hostlist, low, high, nullptr, 0);
    // The report sorts copies: the patrol thread may update the records meanwhile, and
    // qsort needs keys that hold still. At least one element, so that an empty
    // selection is not taken for a failed allocation.
    size_t room = n ? (size_t)n : 1;
    HostRecord* copies = (HostRecord*)reportalloc(room, sizeof(HostRecord));
    HostRecord** selection = (HostRecord**)reportalloc(room, sizeof(HostRecord*));
    if (!copies || !selection) {
        free(copies);
        free(selection);
        msgbox(captionerror, "report: sort failure");
        return;
    }
    n = selectrange(hostlist, low, high, copies, (int)room);
    if (n > (int)room) n = (int)room;
    for (int i = 0; i < n; i++) selection[i] = &copies[i];
    if (kind != replysort && kind != timesort) {
        msgbox(captionerror, "report: unknown sort");
        free(copies);
        free(selection);
        return;
    }
    qsort(selection, n, sizeof *selection, kind == replysort ? byreplies : bytime);
    for (int i = 0; i < n; i++) {
        char line[1024];
        formatreportline(line, sizeof line, *selection[i], kind, now64);
        twprintf("%s", line);
    }
    free(copies);
    free(selection);
}
