// Parsing of profile values that needs no window.
#pragma once

// Four decimal integers separated by white space ("%d %d %d %d"); text after the
// fourth is ignored. False when fewer than four convert.
bool parsefournumbers(const char* text, int n[4]);
// A leading decimal integer as atoi reads it (blanks and a sign allowed); 0 otherwise.
int parseleadingint(const char* text);
