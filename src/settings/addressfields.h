// The address fields of the configuration and report dialogs.
#pragma once
#include <windows.h>
#include "common/state.h"

// The address the field's text names (dotted, or a host name looked up once); false
// after telling the user, with addr unchanged.
bool readaddressfield(HWND dialog, int id, Addr4* addr);
// True when low and high may form a range; false after telling the user.
bool checkrange(const Addr4& low, const Addr4& high);
// Sets the field to the address in dotted form.
void showaddress(HWND dialog, int id, const Addr4& a);
