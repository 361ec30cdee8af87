#include "common/clock.h"
#include <time.h>

long long (*clockhook)() = nullptr;

long long now64() {
    if (clockhook) return clockhook();
    return (long long)_time64(nullptr);
}
