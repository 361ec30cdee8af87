// The vendor lookup over the HostList, once the OUI file is chosen.
#include "reports/oui.h"
#include "reports/reportfmt.h"
#include "app/notices.h"
#include "monitor/macguard.h"
#include "textview/output.h"
#include <stdio.h>
#include <string.h>

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

void lookupcompanies(const char* path) {
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
