// The check a rewritten copy of the profile passes before it takes the file's place;
// window-free.
#pragma once
#include <string>
#include <vector>

// True for a file in UTF-16 (with a byte-order mark).
bool profileutf16(const std::string& text);

// True when `now` (the rewritten copy) is whole: it ends with a line end, holds the
// section line of `section`, every key of `before` (the file as it was; key names
// compare without regard to case, as the profile functions match them; a UTF-8
// byte-order mark is no part of the first line), and every written key with its value
// (the last one of a key written more than once).
// A copy cut short, for instance by a full disk, fails. Files in UTF-16 are checked only
// for their byte-order mark and an even length.
bool profilecomplete(const std::string& before, const std::string& now, const char* section,
                     const std::vector<std::string>& keys, const std::vector<std::string>& values);
