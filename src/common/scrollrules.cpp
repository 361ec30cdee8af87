#include "common/scrollrules.h"

int scrollrequest(int request, int pos, int page, int thumb) {
    switch (request) {
    case scrolllineback: return pos - 1;
    case scrolllineahead: return pos + 1;
    case scrollpageback: return pos - page;
    case scrollpageahead: return pos + page;
    case scrollthumbposition:
    case scrollthumbtrack: return thumb;
    }
    return pos;
}

int scrollclamp(int pos, int max, int page) {
    if (pos > max - page + 1) pos = max - page + 1;
    return pos < 0 ? 0 : pos;
}

int wheelstepfor(unsigned lines) { return lines ? (int)(120u / lines) : 0; }

int wheellines(int* rest, int step, int delta) {
    if (step <= 0) return 0;
    *rest += delta;
    int lines = 0;
    while (*rest >= step) {
        *rest -= step;
        lines++;
    }
    while (*rest <= -step) {
        *rest += step;
        lines--;
    }
    return lines;
}
