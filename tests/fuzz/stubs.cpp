// What the window-free files call from the rest of the program, for the native fuzz
// build: notices and output lines are counted and checked instead of shown, the list
// primitives allocate as the program's do, and the clock is set by the target.
#include "fuzzstubs.h"
#include "common/clock.h"
#include "common/notices.h"
#include "monitor/hostlist.h"
#include "textview/output.h"
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char captionerror[] = "Error";
const char captionfailure[] = "Failure";
noticefn noticehook = nullptr;

int fuzznotices = 0;
int fuzzlines = 0;
long long fuzznow = 0;
int fuzzallocleft = -1;

void msgbox(const char*, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    fuzznotices++;
}

int twprintf(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // No caller may hand the view more than one line's 1023 characters.
    if (n < 0 || n > 1023) abort();
    fuzzlines++;
    return 1;
}

void clearoutput() {}

long long (*clockhook)() = nullptr;
long long now64() { return fuzznow; }

HostRecord* hostlist = nullptr;

void* listappendafter(void** head, void* after, size_t size) {
    ListElem* last = (ListElem*)after;
    if (!last)
        for (last = (ListElem*)*head; last && last->next; last = last->next) {
        }
    if (fuzzallocleft == 0) {
        msgbox(captionerror, "Error building table, element size %d", (int)size);
        return nullptr;
    }
    if (fuzzallocleft > 0) fuzzallocleft--;
    ListElem* e = (ListElem*)calloc(1, size);
    if (!e) abort();
    if (last)
        last->next = e;
    else
        *head = e;
    return e;
}

void* listappend(void** head, size_t size) { return listappendafter(head, nullptr, size); }

void listdiscard(void** head) {
    ListElem* e = (ListElem*)*head;
    *head = nullptr;
    while (e) {
        ListElem* next = e->next;
        free(e);
        e = next;
    }
}
