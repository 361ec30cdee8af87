#include "app/state.h"

const char progname[] = "Hostwarden";
const char progtitle[] = "Hostwarden 5.3.3";

int period = 3600;
Addr4 lowhost, highhost, lowhost2, highhost2;
long long lastactivity = 0;
char startfolder[260] = "";

std::atomic<bool> patrolling(false);
std::atomic<bool> stoprequest(false);
std::atomic<bool> exitrequest(false);
std::atomic<bool> suspended(false);
