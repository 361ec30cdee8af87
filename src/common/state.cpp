#include "common/state.h"
#include "version.h"

const char progname[] = "Hostwarden";
const char progtitle[] = "Hostwarden " HW_VERSION;

int period = 3600;
Addr4 lowhost, highhost, lowhost2, highhost2;
long long lastactivity = 0;
char startfolder[260] = "";

std::atomic<bool> patrolling(false);
std::atomic<bool> stoprequest(false);
std::atomic<bool> exitrequest(false);
std::atomic<bool> suspended(false);

unsigned periodelapse(int period) { return (unsigned)period * 1000u; }
