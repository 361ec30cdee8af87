// Events: what a patrol finds beyond its lines (a MAC changed at an address, a machine
// never seen before), handed to a thread of their own that appends them to the journal,
// writes them to the Windows event log and starts the user's command. The patrol hands
// them over and never waits on them.
#pragma once
#include <string>
#include "events/event.h"
#include "events/machines.h"

// The settings, read at start from the profile. A missing key keeps the default: the
// journal and the event log on, no command.
extern const char keyjournal[], keycommand[], keyeventlog[];
extern bool journalon, eventlogon;
extern std::string eventcommand;

// At start, once the profile is ready (window thread, before the first patrol): the
// settings and the machines this profile has seen.
void eventsinit();

// Patrol thread, for an answer, before its record takes the new MAC: the event the
// answer makes, handed over with the host's name and the maker; the MAC is remembered.
EventChoice eventsanswer(const Addr4& addr, const unsigned char oldmac[6],
                         const unsigned char newmac[6], const std::string& name, long long now);
// Patrol thread, as the patrol ends: the machines it found are saved. A patrol that went
// through every address ends the baseline.
void eventspatrolend(bool whole);

// Waits at most `ms` until every event handed over has been through its outlets (the
// journal written or kept while another program holds it); true when they all have.
// The close calls it before the saves.
bool eventssettle(int ms);

// At the close: eventssettle, then no command starts any more (those running run on),
// all within about `ms`.
void eventsclose(int ms);

// The maker of a MAC from the chosen OUI file (set by the main window; called on the
// events' thread); empty for none.
extern std::string (*eventmaker)(const unsigned char mac[6]);

// Shows what the events' thread has to tell (the main window runs it on WM_EVENTNOTICE).
void eventsnotice();

// Test seams: the local time's offset from UTC in minutes at a time, and the outlets'
// switch (all real ones unless a test sets it).
extern int (*eventoffset)(long long when);
