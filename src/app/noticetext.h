// The text of the notice that names the MAC changes the user has not seen; window-free.
#pragma once
#include <stddef.h>
#include <string>
#include <vector>

// The most change lines a notice names; the rest are counted.
const int noticelines = 5;

// The changes not yet seen, gathered across patrols until the user looks: the first
// `noticelines` lines in the order printed, and how many there were in all. The rest are
// only counted, so days away from a pool that keeps changing cost no memory.
struct UnseenChanges {
    std::vector<std::string> first;
    size_t total = 0;
};

// Adds a patrol's change lines after those already unseen.
void addunseen(UnseenChanges& unseen, const std::vector<std::string>& lines);

// Writes into `out` (`size` bytes, at least 1) the first lines of `unseen`, one a line,
// then "and N more" when there were more; cut at `size` - 1 characters.
void noticetext(char* out, size_t size, const UnseenChanges& unseen);
