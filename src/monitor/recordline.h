// The record line of one HostRecord in the settings profile: its key and its value, as
// written and as read. Window-free.
#pragma once
#include <stddef.h>
#include "monitor/hostlist.h"

const int recordkeysize = 64;
const int recordlinesize = 128;  // ten fields of at most 20 characters each fit easily

// "SOFTWARE\Hostwarden\%d.%d.%d.%d" with the four octets of addr.
void formatrecordkey(char* buf, size_t size, const Addr4& addr);
// "%02x %02x %02x %02x %02x %02x %d %d %I64d %I64d": mac, replies, misses, firstseen,
// lastreply.
void formatrecordline(char* buf, size_t size, const HostRecord& r);
// Reads the ten fields ("%x" six times, "%d" twice, 64-bit decimal twice); of each hex
// field only the low 8 bits count. All ten must convert, or nothing is stored and the
// result is false. Text after the tenth field is ignored.
bool parserecordline(const char* text, HostRecord* r);
