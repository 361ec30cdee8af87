// The program's clock: seconds since 1970. The one place that reads the runtime clock,
// with a hook so that tests can set the time.
#pragma once

long long now64();

// now - then in seconds, wrapping as unsigned arithmetic does: the profile can hold any
// time, and the difference of two extreme ones would overflow.
inline long long since(long long now, long long then) {
    return (long long)((unsigned long long)now - (unsigned long long)then);
}
extern long long (*clockhook)();  // when set, now64 returns its value
