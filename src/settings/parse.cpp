#include "settings/parse.h"

static bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

static int hexdigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool scandecimal(const char** p, long long lo, long long hi, long long* value) {
    const char* s = *p;
    while (blank(*s)) s++;
    bool negative = *s == '-';
    if (*s == '-' || *s == '+') s++;
    if (*s < '0' || *s > '9') return false;
    // Accumulate the magnitude, held at the widest limit's 2^63 once it gets there (never
    // multiplied past it, where it would wrap), then clamp.
    const unsigned long long cap = 1ull << 63;
    unsigned long long m = 0;
    for (; *s >= '0' && *s <= '9'; s++) {
        unsigned d = (unsigned)(*s - '0');
        m = m > (cap - d) / 10 ? cap : m * 10 + d;
    }
    long long v;
    if (negative)
        v = m >= cap ? lo : -(long long)m;
    else
        v = m >= cap ? hi : (long long)m;
    if (v < lo) v = lo;
    if (v > hi) v = hi;
    *value = v;
    *p = s;
    return true;
}

bool scanhex(const char** p, unsigned* value) {
    const char* s = *p;
    while (blank(*s)) s++;
    bool negative = *s == '-';
    if (*s == '-' || *s == '+') s++;
    if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X') && hexdigit(s[2]) >= 0) s += 2;
    if (hexdigit(*s) < 0) return false;
    unsigned v = 0;
    for (; hexdigit(*s) >= 0; s++) v = (v << 4) | (unsigned)hexdigit(*s);
    *value = negative ? 0u - v : v;
    *p = s;
    return true;
}

bool parsefournumbers(const char* text, int n[4]) {
    for (int i = 0; i < 4; i++) {
        long long v;
        if (!scandecimal(&text, -2147483647LL - 1, 2147483647LL, &v)) return false;
        n[i] = (int)v;
    }
    return true;
}

int parseleadingint(const char* text) {
    long long v;
    if (!scandecimal(&text, -2147483647LL - 1, 2147483647LL, &v)) return 0;
    return (int)v;
}
