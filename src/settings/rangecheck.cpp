#include "settings/rangecheck.h"

RangeFault rangefault(const Addr4& low, const Addr4& high) {
    if (low.o[0] != high.o[0] || low.o[1] != high.o[1] || low.o[2] != high.o[2]) return rangesubnet;
    if (low.o[3] > high.o[3]) return rangeorder;
    return rangeok;
}
