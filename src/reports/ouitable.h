// The OUI table read from a text copy of the IEEE listing, and the vendor lookup over
// the HostList; window-free.
#pragma once
#include <stddef.h>
#include <stdio.h>
#include "monitor/hostlist.h"

struct OuiRecord {
    OuiRecord* next;
    unsigned char oui[3];  // the three numbers of the line, low 8 bits each
    char* company;         // owned, exact length
};

const int ouilinebuf = 1024;  // longer lines are read in pieces of 1023 characters

// Takes one line (or piece) as read, its end-of-line character still on. True for an
// OUI line that has a ')': oui holds its numbers and *company points into line, after
// the ')' and the white space behind it; the end-of-line character is removed.
bool parseouiline(char* line, unsigned char oui[3], const char** company);

// Reads every OUI line of f, in file order, into *head. Returns how many were counted;
// *ok is false after an allocation failure (shown already), with *head holding what was
// read so far.
int readouitable(FILE* f, OuiRecord** head, bool* ok);
// The company of the first record whose OUI equals the first three MAC bytes, or
// "unknown".
const char* findcompany(const OuiRecord* head, const unsigned char mac[6]);
// Frees every company text, then the records.
void freeouitable(OuiRecord** head);

// Reads the OUI file at path and prints one line per HostRecord that has a MAC: its
// address, MAC and company.
void listcompanies(const char* path);

// The lookup line; a company too long for one output line is cut at the line's end.
void formatlookupline(char* buf, size_t size, const Addr4& addr, const unsigned char mac[6],
                      const char* company);

// Test seam for the company allocations (malloc by default).
extern void* (*ouialloc)(size_t bytes);
