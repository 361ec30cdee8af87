// The program's clock: seconds since 1970. The one place that reads the runtime clock,
// with a hook so that tests can set the time.
#pragma once

long long now64();
extern long long (*clockhook)();  // when set, now64 returns its value
