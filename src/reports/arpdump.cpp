// Dump ARP table: lists the system's ARP table in the output view.
#include "reports/arpdump.h"
#include "reports/arpline.h"
#include "common/notices.h"
#include "textview/output.h"
#include <stdlib.h>

DWORD(WINAPI* readarptable)(PMIB_IPNETTABLE table, PULONG size, BOOL order) = GetIpNetTable;
void* (*arpalloc)(size_t bytes) = malloc;

static const int arprows = 4000;  // the most rows the dump lists

static ULONG tablesize(int rows) {
    return (ULONG)(sizeof(MIB_IPNETTABLE) + rows * sizeof(MIB_IPNETROW));
}

static void listrows(const MIB_IPNETTABLE* table, DWORD rows) {
    for (DWORD i = 0; i < rows; i++) {
        const MIB_IPNETROW& row = table->table[i];
        char line[128];
        formatarpline(line, sizeof line, (const unsigned char*)&row.dwAddr, row.bPhysAddr);
        twprintf("%s", line);
    }
}

// Reads the table into a buffer of `size` bytes; the buffer, or null after a notice.
// *needed receives the size the system asks for when the buffer is too small.
static MIB_IPNETTABLE* fetch(ULONG size, ULONG* needed, DWORD* err) {
    MIB_IPNETTABLE* table = (MIB_IPNETTABLE*)arpalloc(size);
    if (!table) {
        msgbox(captionerror, "Error allocating memory");
        *err = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    ULONG got = size;
    *err = readarptable(table, &got, TRUE);
    *needed = got;
    if (*err == ERROR_NO_DATA) {  // an empty table
        table->dwNumEntries = 0;
        *err = NO_ERROR;
    }
    return table;
}

void dumparptable() {
    twprintf("Current ARP table:");
    ULONG size = tablesize(arprows), needed = 0;
    DWORD err;
    MIB_IPNETTABLE* table = fetch(size, &needed, &err);
    if (!table) return;
    if (err == ERROR_INSUFFICIENT_BUFFER || (err == NO_ERROR && needed > size)) {
        twprintf("[Warning] Insufficient Memory(allocated %d needed %d)\n", arprows, (int)needed);
        // Fetched again with the room asked for, and a margin for rows that arrive
        // meanwhile; the listing stops at the dump's limit.
        free(table);
        size = needed + tablesize(64);
        table = fetch(size, &needed, &err);
        if (!table) return;
    }
    if (err != NO_ERROR) {
        msgbox(captionerror, "Cannot read the ARP table <%d>", (int)err);
        free(table);
        return;
    }
    DWORD rows = table->dwNumEntries;
    DWORD fits = (size - (ULONG)offsetof(MIB_IPNETTABLE, table)) / sizeof(MIB_IPNETROW);
    if (rows > fits) rows = fits;
    if (rows > (DWORD)arprows) rows = arprows;
    listrows(table, rows);
    free(table);
}
