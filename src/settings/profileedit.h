// Setting keys in the text of a profile file; window-free.
#pragma once
#include <string>
#include <utility>
#include <vector>

// The text with keys[i] set to values[i] in the first section named `section` (a key
// given twice takes its last value). Names of sections and keys compare without regard
// to case and to blanks around them, as the system's profile functions match them; a
// key's first line in the section (a line without "=" names a key too) gets the new
// value, a key not there is added after the section's last line that is not blank, and
// a missing section is added at the end.
// Every other byte stays as it was: comments, blank lines, other sections and the
// file's own line ends (CR LF unless the file uses LF alone); the result ends with a
// line end.
std::string profileedit(const std::string& text, const char* section,
                        const std::vector<std::string>& keys, const std::vector<std::string>& values);

// The keys of the first section named `section` with their values, as the system's
// reader gives them: the first line of a key counts, the value trimmed of blanks and of
// one pair of quotes around it.
std::vector<std::pair<std::string, std::string>> sectionvalues(const std::string& text,
                                                              const char* section);
