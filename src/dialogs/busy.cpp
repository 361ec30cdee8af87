// The busy indicator (not built yet).
#include "dialogs/busy.h"

HWND busymessage(HWND, const char*) { return nullptr; }
void setbusypercent(HWND, int) {}
