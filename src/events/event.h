// One event of a patrol as it is handed to the events' thread: everything any outlet
// (journal, command, event log, notice) needs, so that no outlet reads the records.
#pragma once
#include <string>
#include "common/state.h"

enum EventKind {
    eventmacchanged,  // another MAC answered at an address
    eventnewmachine,  // a MAC this profile has never seen at any address
};

struct Event {
    EventKind kind;
    long long when;           // seconds since 1970, UTC
    int offsetminutes;        // local time's offset from UTC at `when`, east positive (+60 = UTC+1)
    Addr4 addr;
    unsigned char oldmac[6];  // all zero when there was none
    unsigned char newmac[6];
    std::string name;         // the host's name as its host line shows it ("NA" for none)
    std::string maker;        // the OUI file's maker of newmac; empty without a file or a match
};
