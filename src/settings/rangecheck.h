// The rule of an address range that needs no window.
#pragma once
#include "common/state.h"

enum RangeFault { rangeok, rangesubnet, rangeorder };
// Why two limits cannot form a range: not in one class C subnet (tested first), or the
// low's last octet above the high's. Equal limits form a range of one address.
RangeFault rangefault(const Addr4& low, const Addr4& high);
