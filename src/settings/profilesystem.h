// Profiles that begin with a byte-order mark (UTF-16, or UTF-8) are changed through the
// system's own profile functions, so that what is written is what the platform reads,
// and in wide characters, so that no text of the file passes through the ANSI code page.
#pragma once
#include <string>
#include <vector>

// Sets the keys (ANSI text) in `section` of the file `path`, with one rewrite of the
// section, then reads the section back as the platform reads it and checks that every
// key it held is still there and every key written holds its value. The section's
// comments and blank lines are not kept: the system's functions drop them.
bool systemwrite(const char* path, const char* section, const std::vector<std::string>& keys,
                 const std::vector<std::string>& values);
