// The Windows event log outlet: one "Application" log entry per event under the source
// "Hostwarden", with the ids and insert strings of src/resources/events.mc.
#pragma once
#include "events/event.h"

// Writes the entry of `e`; the source is registered on the first call and kept. False
// when the source cannot be registered or the entry is refused.
bool eventlogwrite(const Event& e);
// Lets the source go (at the close; a later write registers it again).
void eventlogclose();
