// Parsing of profile values that needs no window. The scanners read numbers the way
// scanf's conversions do, but saturate (decimal) or wrap (hexadecimal) on overflow
// instead of leaving the result undefined.
#pragma once

// Four decimal integers separated by white space ("%d %d %d %d"); text after the
// fourth is ignored. False when fewer than four convert.
bool parsefournumbers(const char* text, int n[4]);
// A leading decimal integer as atoi reads it (blanks and a sign allowed); 0 otherwise.
int parseleadingint(const char* text);

// One decimal integer as "%d" reads it: white space, an optional sign, at least one
// digit. Saturates to lo..hi. On success advances *p behind the digits.
bool scandecimal(const char** p, long long lo, long long hi, long long* value);
// One hexadecimal integer as "%x" reads it: white space, an optional sign, an optional
// 0x prefix, at least one digit. Keeps the low 32 bits. Advances *p on success.
bool scanhex(const char** p, unsigned* value);
