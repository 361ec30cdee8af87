// The rules of the configuration dialog that need no window.
#pragma once
#include "app/state.h"

enum RangeFault { rangeok, rangesubnet, rangeorder };
// Why two limits cannot form a range: not in one class C subnet (tested first), or the
// low's last octet above the high's. Equal limits form a range of one address.
RangeFault rangefault(const Addr4& low, const Addr4& high);
// Timer elapse for a period in seconds: period x 1000 milliseconds, modulo 2^32.
unsigned periodelapse(int period);
