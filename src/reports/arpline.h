// One line of the ARP table dump; window-free.
#pragma once
#include <stddef.h>

// The row's address bytes in memory order and the first six bytes of its physical
// address: "a.b.c.d : mm:mm:mm:mm:mm:mm".
void formatarpline(char* buf, size_t size, const unsigned char addr[4],
                   const unsigned char phys[6]);
