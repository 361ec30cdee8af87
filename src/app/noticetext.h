// The text of the notice that names a patrol's MAC changes; window-free.
#pragma once
#include <stddef.h>
#include <string>
#include <vector>

// The most change lines a notice names; the rest are counted.
const int noticelines = 5;

// Writes into `out` (`size` bytes, at least 1) the first `noticelines` of `lines`, one
// a line, then "and N more" when there were more; cut at `size` - 1 characters.
void noticetext(char* out, size_t size, const std::vector<std::string>& lines);
