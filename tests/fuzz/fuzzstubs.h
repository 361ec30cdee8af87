// Knobs of the fuzz build's stand-ins for the window side of the program.
#pragma once
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <stdlib.h>
#include "monitor/hostlist.h"

extern int fuzznotices;    // msgbox calls
extern int fuzzlines;      // twprintf calls
extern long long fuzznow;  // what now64 returns
extern int fuzzallocleft;  // list elements that may still be allocated; -1 = no limit

// Fails the run with a message naming the broken property.
#define FUZZCHECK(cond)                                                              \
    do {                                                                              \
        if (!(cond)) {                                                                \
            fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond); \
            abort();                                                                  \
        }                                                                             \
    } while (0)

// Takes fixed-size values from the front of the input; zero once it runs out.
struct FuzzInput {
    const uint8_t* p;
    size_t left;
    void take(void* out, size_t n) {
        size_t k = n < left ? n : left;
        memset(out, 0, n);
        memcpy(out, p, k);
        p += k;
        left -= k;
    }
    template <class T> T get() {
        T v;
        take(&v, sizeof v);
        return v;
    }
};

// A HostRecord from the input: MAC, replies, misses, firstseen, lastreply, address.
inline HostRecord takerecord(FuzzInput& in) {
    HostRecord r = {};
    in.take(r.mac, 6);
    r.replies = in.get<int>();
    r.misses = in.get<int>();
    r.firstseen = in.get<long long>();
    r.lastreply = in.get<long long>();
    r.addr = in.get<Addr4>();
    return r;
}
