// HostRecord, the HostList, and the singly linked list primitives shared by other lists.
#pragma once
#include <stddef.h>
#include "common/state.h"

struct HostRecord {
    HostRecord* next;
    Addr4 addr;
    unsigned char mac[6];  // all zero until one is seen
    int replies;           // answered since mac was first seen
    int misses;            // unanswered since mac was first seen
    long long firstseen;   // when mac was first seen
    long long lastreply;   // last answer with an unchanged mac; 0 = never
};

extern HostRecord* hostlist;

// Every list element starts with its next pointer.
struct ListElem {
    ListElem* next;
};

// Appends a zeroed element of `size` bytes behind the last one, linked with one atomic
// exchange. Null (after a message) when it cannot be allocated.
void* listappend(void** head, size_t size);
// The same, linked behind `after` (the walk from the head is done when it is null).
void* listappendafter(void** head, void* after, size_t size);
// Frees every element and empties the list; owned memory must be freed first.
void listdiscard(void** head);

inline void** hostlisthead() { return (void**)&hostlist; }
