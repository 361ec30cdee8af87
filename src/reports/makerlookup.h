// The maker of a MAC for the events, from the OUI file last chosen for the Lookup
// Companies command.
#pragma once
#include <string>

// Empty without a chosen file that can be read, or without a match. The table is read
// on first use and again when another file is chosen or the file changes.
std::string makerof(const unsigned char mac[6]);
