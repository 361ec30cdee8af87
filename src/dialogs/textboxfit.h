// The text box's fitting arithmetic and its view of the text as lines; window-free.
#pragma once
#include "dialogs/textboxtemplate.h"

// The 62 characters whose width, divided by 62, gives the average character width.
extern const char tbalphabet[];

// Measures the first n characters of s; false when the measurement failed.
typedef bool (*tbmeasure)(void* context, const char* s, int n, int* width);

// Widest line in pixels, at least 20; each tab adds five average widths a. Empty lines
// are not measured; measuring stops at the first failure with the widest found so far.
int tbwidest(const char* text, int a, tbmeasure measure, void* context);
// Width of the static in dialog units for the widest line m and average width a > 0.
int tbstaticwidth(int m, int a);
// Fits the template to the widest line: the dialog and the scroll bar follow the change d
// of the static's width, the buttons move by half of it. Without a usable average width
// (a not positive: nothing could be measured) the template is left as it is; false then.
bool tbfit(TbTemplate* t, int m, int a);

// 1 plus the number of line feeds.
int tblinecount(const char* text);
// The text after its first n lines, each taken up to and including its line feed;
// stops at the end of the text; the text itself for n of 0 or less.
const char* skiplines(int n, const char* text);
