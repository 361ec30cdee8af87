// The check the edited text of the profile passes before it is written; window-free.
#pragma once
#include <string>
#include <vector>

// True when `now` (the edited text) is whole: it ends with a line end, holds the section
// line of `section`, every key of `before` (the text as it was; key names compare
// without regard to case, as the profile functions match them), and every written key
// with its value (the last one of a key written more than once). A line without "=" is
// a key with an empty value, as the system's reader takes it. Both texts are as the
// editor sees them: a byte-order mark is dropped before, UTF-16 turned into UTF-8.
bool profilecomplete(const std::string& before, const std::string& now, const char* section,
                     const std::vector<std::string>& keys, const std::vector<std::string>& values);
