// How the profile's bytes are read as text, and written back; window-free.
#pragma once
#include <string>

// Windows' profile functions take a file for Unicode only when it begins with the
// UTF-16LE mark. A UTF-8 mark is three ANSI characters to them, so a "[Hostwarden]"
// right after it is no section header there (Wine reads such a file as UTF-8, so its
// tests cannot see this); UTF-16BE they do not read at all.
enum ProfileCoding { codingansi, codingutf8mark, codingutf16le, codingutf16be };
ProfileCoding profilecoding(const std::string& bytes);

// The text the editor works on: the bytes without a UTF-8 mark, every other byte as it
// is; UTF-16LE as WTF-8 (UTF-8 that carries unpaired surrogates too), without its mark.
std::string profiledecode(const std::string& bytes, ProfileCoding coding);
// The bytes written back: UTF-16LE with its mark; anything else as the text itself, so a
// UTF-8 mark once dropped is not written again.
std::string profileencode(const std::string& text, ProfileCoding coding);

// UTF-16 code units to WTF-8 and back; every sequence of units survives the round trip.
std::string wtf8(const std::u16string& units);
std::u16string utf16(const std::string& text);
