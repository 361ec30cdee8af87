// The check a rewritten copy of the profile passes before it takes the file's place;
// window-free.
#pragma once
#include <string>
#include <vector>

// True for a file that begins with a byte-order mark, UTF-16 either way or UTF-8: such
// a file is written through the system's own profile functions, so that what is
// written is what the platform reads.
bool profilebom(const std::string& text);

// True when `now` (the rewritten copy) is whole: it ends with a line end, holds the
// section line of `section`, every key of `before` (the file as it was; key names
// compare without regard to case, as the profile functions match them; a UTF-8
// byte-order mark is no part of the first line), and every written key with its value
// (the last one of a key written more than once).
// A line without "=" is a key with an empty value, as the system's reader takes it.
// A copy cut short, for instance by a full disk, fails. Files with a byte-order mark are
// checked here only for the same mark (and an even length in UTF-16); their section is
// checked as the platform reads it, with sectioncomplete.
bool profilecomplete(const std::string& before, const std::string& now, const char* section,
                     const std::vector<std::string>& keys, const std::vector<std::string>& values);

// The section's lines as the system's reader gives them ("key=value", or "key" alone),
// before and after a change: true when every key of `before` is still there and every
// written key holds its value (the last one of a key written more than once).
bool sectioncomplete(const std::vector<std::string>& before, const std::vector<std::string>& now,
                     const std::vector<std::string>& keys, const std::vector<std::string>& values);
