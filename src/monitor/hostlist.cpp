// The HostList and the list primitives.
#include "monitor/hostlist.h"
#include "common/notices.h"
#include <windows.h>
#include <stdlib.h>

HostRecord* hostlist = nullptr;

void* listappendafter(void** head, void* after, size_t size) {
    ListElem* last = (ListElem*)after;
    if (!last)
        for (last = (ListElem*)*head; last && last->next; last = last->next) {
        }
    ListElem* e = (ListElem*)calloc(1, size);
    if (!e) {
        msgbox(captionerror, "Error building table, element size %d", (int)size);
        return nullptr;
    }
    // One atomic exchange publishes the complete element to a concurrent reader.
    PVOID volatile* link = last ? (PVOID volatile*)&last->next : (PVOID volatile*)head;
    InterlockedExchangePointer(link, e);
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
