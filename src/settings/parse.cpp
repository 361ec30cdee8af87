#include "settings/parse.h"
#include <stdio.h>
#include <stdlib.h>

bool parsefournumbers(const char* text, int n[4]) {
    return sscanf(text, "%d %d %d %d", &n[0], &n[1], &n[2], &n[3]) == 4;
}

// strtol saturates out-of-range numbers where atoi's result is undefined.
int parseleadingint(const char* text) {
    long v = strtol(text, nullptr, 10);
    if (v > 2147483647L) return 2147483647;
    if (v < -2147483647L - 1) return -2147483647 - 1;
    return (int)v;
}
