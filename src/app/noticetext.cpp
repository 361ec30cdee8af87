// The text of the notice that names a patrol's MAC changes; window-free.
#include "app/noticetext.h"
#include <stdio.h>

void noticetext(char* out, size_t size, const std::vector<std::string>& lines) {
    std::string text;
    size_t shown = lines.size() < (size_t)noticelines ? lines.size() : (size_t)noticelines;
    for (size_t i = 0; i < shown; i++) {
        if (i) text += '\n';
        text += lines[i];
    }
    if (lines.size() > shown) {
        char more[32];
        snprintf(more, sizeof more, "\nand %d more", (int)(lines.size() - shown));
        text += more;
    }
    snprintf(out, size, "%s", text.c_str());
}
