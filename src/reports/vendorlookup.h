// The Lookup Companies command.
#pragma once

// Chooses the OUI file, then lists the maker of every MAC of the HostList.
void companylookup();
