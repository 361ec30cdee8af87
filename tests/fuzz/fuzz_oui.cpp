// OUI files of any content: one line as the lookup reads it, and a whole file read into
// the OUI table (lines longer than the buffer, NULs, no line end, allocation failures).
#include "fuzzstubs.h"
#include "reports/ouitable.h"
#include <ctype.h>
#include <stdio.h>
#include <unistd.h>
#include "monitor/hostlist.h"

static int allocsleft = -1;
static void* limitedalloc(size_t n) {
    if (allocsleft == 0) return nullptr;
    if (allocsleft > 0) allocsleft--;
    return malloc(n);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    uint8_t mode = data[0];
    data++;
    size--;

    // One line as fgets leaves it: at most 1023 characters, the line feed included.
    char line[ouilinebuf];
    size_t n = size < (size_t)ouilinebuf - 1 ? size : (size_t)ouilinebuf - 1;
    const void* feed = memchr(data, '\n', n);
    if (feed) n = (const uint8_t*)feed - data + 1;
    memcpy(line, data, n);
    line[n] = 0;
    char copy[ouilinebuf];
    memcpy(copy, line, n + 1);
    unsigned char oui[3];
    const char* company = nullptr;
    unsigned x[3];
    bool numbers = sscanf(copy, "%x-%x-%x", &x[0], &x[1], &x[2]) == 3;
    if (parseouiline(line, oui, &company)) {
        FUZZCHECK(numbers && strchr(copy, ')'));
        for (int i = 0; i < 3; i++) FUZZCHECK(oui[i] == (x[i] & 0xff));
        size_t len = strlen(line);
        FUZZCHECK(company >= line && company <= line + len);
        FUZZCHECK(!len || line[len - 1] != '\n');
        FUZZCHECK(!*company || !isspace((unsigned char)*company));
        FUZZCHECK(company > line && memchr(line, ')', company - line));
    } else {
        FUZZCHECK(!numbers || !strchr(copy, ')'));
    }

    // The whole input as a file.
    FILE* f = fmemopen((void*)data, size ? size : 1, "r");
    if (!f) return 0;
    if (!size) fgetc(f);
    allocsleft = (mode & 1) ? (mode >> 1) % 8 : -1;
    fuzzallocleft = (mode & 1) && (mode & 0x80) ? (mode >> 4) % 8 : -1;
    ouialloc = limitedalloc;
    OuiRecord* table = nullptr;
    bool ok = true;
    int notices = fuzznotices;
    int count = readouitable(f, &table, &ok);
    fclose(f);
    int held = 0;
    for (OuiRecord* r = table; r; r = r->next) {
        held++;
        if (r->company) {
            FUZZCHECK(strlen(r->company) < (size_t)ouilinebuf);
            FUZZCHECK(!strchr(r->company, '\n'));
        }
    }
    if (ok) {
        FUZZCHECK(held == count && fuzznotices == notices);
    } else {
        FUZZCHECK(fuzznotices > notices && held <= count);
    }
    unsigned char mac[6] = {0};
    if (table) memcpy(mac, table->oui, 3);
    // The lookup searches only a table read in full.
    if (ok) {
        const char* found = findcompany(table, mac);
        FUZZCHECK(found != nullptr);
        if (table) FUZZCHECK(found == table->company);
    }
    freeouitable(&table);
    FUZZCHECK(table == nullptr);
    ouialloc = malloc;
    fuzzallocleft = -1;

    // The whole command over a file holding the input and a HostList whose MACs begin
    // with the OUIs of its first lines; every line it prints must fit an output line.
    if (mode & 2) {
        static char path[64];
        if (!path[0]) snprintf(path, sizeof path, "/tmp/hwfuzz-oui-%d.txt", (int)getpid());
        FILE* w = fopen(path, "wb");
        if (!w) return 0;
        fwrite(data, 1, size, w);
        fclose(w);
        HostRecord recs[4] = {};
        for (int i = 0; i < 4; i++) {
            recs[i].addr.o[3] = (unsigned char)i;
            recs[i].mac[0] = (unsigned char)(i == 3 ? 0 : (mode >> 2) + i);
            recs[i].mac[1] = size > 10 ? data[i] : 0;
            recs[i].next = i < 3 ? &recs[i + 1] : nullptr;
        }
        if (size > 8 && sscanf((const char*)copy, "%x-%x-%x", &x[0], &x[1], &x[2]) == 3)
            for (int i = 0; i < 3; i++) recs[0].mac[i] = (unsigned char)x[i];
        hostlist = recs;
        int lines = fuzzlines;
        notices = fuzznotices;
        listcompanies(path);
        hostlist = nullptr;
        // Either a notice (nothing found) or one line per record with a MAC.
        FUZZCHECK(!(fuzznotices > notices && fuzzlines > lines));
        remove(path);
    }
    return 0;
}
