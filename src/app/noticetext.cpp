// The text of the notice that names the MAC changes the user has not seen; window-free.
#include "app/noticetext.h"
#include <stdio.h>

void addunseen(UnseenChanges& unseen, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        if (unseen.first.size() < (size_t)noticelines) unseen.first.push_back(line);
    unseen.total += lines.size();
}

void noticetext(char* out, size_t size, const UnseenChanges& unseen) {
    std::string text;
    for (size_t i = 0; i < unseen.first.size(); i++) {
        if (i) text += '\n';
        text += unseen.first[i];
    }
    if (unseen.total > unseen.first.size())
        text += "\nand " + std::to_string(unseen.total - unseen.first.size()) + " more";
    snprintf(out, size, "%s", text.c_str());
}
