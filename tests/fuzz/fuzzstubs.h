// Knobs of the fuzz build's stand-ins for the window side of the program.
#pragma once
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <stdlib.h>

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
