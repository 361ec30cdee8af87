#include "reports/ouitable.h"
#include "reports/reportfmt.h"
#include "common/notices.h"
#include <stdio.h>
#include "textview/output.h"
#include "monitor/recordmac.h"
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

void* (*ouialloc)(size_t bytes) = malloc;

bool parseouiline(char* line, unsigned char oui[3], const char** company) {
    unsigned n[3];
    if (sscanf(line, "%x-%x-%x", &n[0], &n[1], &n[2]) != 3) return false;
    size_t len = strlen(line);
    if (len && line[len - 1] == '\n') line[len - 1] = 0;
    char* p = strchr(line, ')');
    if (!p) return false;
    for (p++; *p && isspace((unsigned char)*p); p++) {
    }
    for (int i = 0; i < 3; i++) oui[i] = (unsigned char)(n[i] & 0xff);
    *company = p;
    return true;
}

static void allocationfailed() { msgbox(captionerror, "Error allocating memory"); }

int readouitable(FILE* f, OuiRecord** head, bool* ok) {
    *ok = true;
    int count = 0;
    OuiRecord* last = nullptr;
    char line[ouilinebuf];
    while (fgets(line, sizeof line, f)) {
        unsigned char oui[3];
        const char* company;
        if (!parseouiline(line, oui, &company)) continue;
        count++;
        OuiRecord* r = (OuiRecord*)listappendafter((void**)head, last, sizeof(OuiRecord));
        if (!r) {
            allocationfailed();
            *ok = false;
            return count;
        }
        last = r;
        size_t len = strlen(company);
        r->company = (char*)ouialloc(len + 1);
        if (!r->company) {
            allocationfailed();
            *ok = false;
            return count;
        }
        memcpy(r->oui, oui, 3);
        memcpy(r->company, company, len + 1);
    }
    return count;
}

const char* findcompany(const OuiRecord* head, const unsigned char mac[6]) {
    for (const OuiRecord* r = head; r; r = r->next)
        if (!memcmp(r->oui, mac, 3)) return r->company;
    return "unknown";
}

void freeouitable(OuiRecord** head) {
    for (OuiRecord* r = *head; r; r = r->next) {
        free(r->company);
        r->company = nullptr;
    }
    listdiscard((void**)head);
}

void formatlookupline(char* buf, size_t size, const Addr4& addr, const unsigned char mac[6],
                      const char* company) {
    int n = formataddrmac(buf, size, addr, mac);
    // snprintf cuts the company where the output line ends.
    snprintf(buf + n, size - n, "%s", company);
}

static bool zeromac(const unsigned char mac[6]) {
    static const unsigned char zero[6] = {0};
    return !memcmp(mac, zero, 6);
}

void listcompanies(const char* path) {
    FILE* f = fopen(path, "rt");
    if (!f) {
        msgbox(captionerror, "Cannot open <%s>", path);
        return;
    }
    OuiRecord* table = nullptr;
    bool ok;
    int count = readouitable(f, &table, &ok);
    // Closed on every path, also after an allocation failure.
    fclose(f);
    if (!ok) {
        freeouitable(&table);
        return;
    }
    if (count == 0) {
        msgbox(captionfailure,
               "No OUI records found in <%s>\nTypical format would be as follows, other lines "
               "are ignored:\n00-00-00   (hex)\t\tXEROX CORPORATION",
               path);
        return;
    }
    for (HostRecord* r = hostlist; r; r = r->next) {
        // The patrol thread may be writing this MAC; take one consistent copy.
        unsigned char mac[6];
        getmac(r, mac);
        if (zeromac(mac)) continue;
        char line[1024];
        formatlookupline(line, sizeof line, r->addr, mac, findcompany(table, mac));
        twprintf("%s", line);
    }
    freeouitable(&table);
}
