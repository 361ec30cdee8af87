#include "dialogs/textboxfit.h"

const char tbalphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

int tbwidest(const char* text, int a, tbmeasure measure, void* context) {
    int m = 20;
    const char* p = text;
    while (*p) {
        if (*p == '\n') {
            p++;
            continue;
        }
        const char* end = p;
        int tabs = 0;
        for (; *end && *end != '\n'; end++)
            if (*end == '\t') tabs++;
        int width = 0;
        if (!measure(context, p, (int)(end - p), &width)) break;
        width += 5 * a * tabs;
        if (width > m) m = width;
        p = end;
    }
    return m;
}

int tbstaticwidth(int m, int a) { return ((m + m / 20) * 4) / a; }

bool tbfit(TbTemplate* t, int m, int a) {
    if (a <= 0) return false;
    int w = tbstaticwidth(m, a);
    int d = w - tbget(*t, t->staticcx);
    int half = d / 2;  // truncated toward zero, once for both buttons
    tbset(t, t->dialogcx, tbget(*t, t->dialogcx) + d);
    tbset(t, t->staticcx, w);
    tbset(t, t->scrollx, tbget(*t, t->scrollx) + d);
    tbset(t, t->okx, tbget(*t, t->okx) + half);
    tbset(t, t->copyx, tbget(*t, t->copyx) + half);
    return true;
}

int tblinecount(const char* text) {
    int n = 1;
    for (; *text; text++)
        if (*text == '\n') n++;
    return n;
}

const char* skiplines(int n, const char* text) {
    for (; n > 0 && *text; n--) {
        while (*text && *text != '\n') text++;
        if (*text) text++;
    }
    return text;
}
