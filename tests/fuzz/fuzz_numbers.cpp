// The profile's number scanners against the C library's strtoll/strtoull, and the
// range rules of the configuration dialog.
#include "fuzzstubs.h"
#include "settings/parse.h"
#include "settings/rangecheck.h"
#include <ctype.h>
#include <stdio.h>
#include <string>

static const long long imin = -2147483647LL - 1, imax = 2147483647LL;
static const long long lmin = -9223372036854775807LL - 1, lmax = 9223372036854775807LL;

// What "%d" should give: strtoll (which saturates at the 64-bit limits), then clamped.
static bool refdecimal(const char* s, long long lo, long long hi, long long* v, const char** end) {
    const char* q = s;
    while (isspace((unsigned char)*q)) q++;
    if (*q == '+' || *q == '-') q++;
    if (!isdigit((unsigned char)*q)) return false;
    char* e;
    long long x = strtoll(s, &e, 10);
    *v = x < lo ? lo : x > hi ? hi : x;
    *end = e;
    return true;
}

static void checkdecimal(const char* s, long long lo, long long hi) {
    long long want, got = 12345;
    const char* wantend;
    const char* p = s;
    bool ok = scandecimal(&p, lo, hi, &got);
    bool refok = refdecimal(s, lo, hi, &want, &wantend);
    FUZZCHECK(ok == refok);
    if (!ok) {
        FUZZCHECK(p == s && got == 12345);
        return;
    }
    FUZZCHECK(got == want);
    FUZZCHECK(p == wantend);
}

static void checkhex(const char* s) {
    unsigned got = 0;
    const char* p = s;
    bool ok = scanhex(&p, &got);
    const char* q = s;
    while (isspace((unsigned char)*q)) q++;
    if (*q == '+' || *q == '-') q++;
    if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X') && isxdigit((unsigned char)q[2])) q += 2;
    FUZZCHECK(ok == (isxdigit((unsigned char)*q) != 0));
    if (!ok) return;
    char* e;
    unsigned long long x = strtoull(s, &e, 16);
    FUZZCHECK(p == e);
    // Up to 16 digits strtoull does not saturate: its low 32 bits are "%x"'s value.
    if (e - q <= 16) FUZZCHECK(got == (unsigned)x);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) return 0;
    FuzzInput in = {data, size};
    long long a = in.get<long long>();
    std::string text((const char*)in.p, in.left);  // an embedded NUL ends the value
    const char* s = text.c_str();

    checkdecimal(s, imin, imax);
    checkdecimal(s, lmin, lmax);
    long long b = a >> 33;  // bounds of either sign
    checkdecimal(s, b < 0 ? b : -b, b < 0 ? -b : b);
    checkhex(s);

    // parsefournumbers is four "%d" in a row; parseleadingint the first of them or 0.
    int n[4] = {7, 7, 7, 7};
    bool four = parsefournumbers(s, n);
    const char* p = s;
    bool refok = true;
    for (int i = 0; i < 4 && refok; i++) {
        long long v;
        const char* e;
        refok = refdecimal(p, imin, imax, &v, &e);
        if (refok && four) FUZZCHECK(n[i] == v);
        p = e;
    }
    FUZZCHECK(four == refok);
    long long first;
    const char* e;
    FUZZCHECK(parseleadingint(s) == (refdecimal(s, imin, imax, &first, &e) ? first : 0));

    // The range rules on the first bytes as two addresses.
    Addr4 low, high;
    memcpy(low.o, &a, 4);
    memcpy(high.o, (const char*)&a + 4, 4);
    RangeFault f = rangefault(low, high);
    bool samesubnet = !memcmp(low.o, high.o, 3);
    FUZZCHECK((f == rangesubnet) == !samesubnet);
    if (samesubnet) FUZZCHECK((f == rangeorder) == (low.o[3] > high.o[3]));
    int periodvalue = (int)a;
    FUZZCHECK(periodelapse(periodvalue) ==
              (unsigned)(((unsigned long long)(long long)periodvalue * 1000ull) & 0xffffffffull));
    return 0;
}
