// Dump ARP table: lists the system's ARP table in the output view.
#pragma once
#include <windows.h>
#include <iphlpapi.h>
#include <stddef.h>

void dumparptable();

// Test seams: the ARP table read (GetIpNetTable) and the buffer's allocation (malloc).
extern DWORD(WINAPI* readarptable)(PMIB_IPNETTABLE table, PULONG size, BOOL order);
extern void* (*arpalloc)(size_t bytes);
