// Profiles edited by hand or written by other tools: a save gives every key its new value
// and keeps the user's other lines.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "hwtest.h"
#include "common/notices.h"
#include "settings/profile.h"

using namespace hwtest;

namespace {

const char bom[] = "\xEF\xBB\xBF";

// The same profile in several shapes: comments, a blank line, another section.
std::string profiletext(const char* eol, bool finaleol) {
    std::string lines[] = {"; written by hand",
                           "[Hostwarden]",
                           "SOFTWARE\\Hostwarden\\period=60",
                           "",
                           "; the range",
                           "SOFTWARE\\Hostwarden\\lowhost=10 77 0 1",
                           "[Other]",
                           "user=kept"};
    std::string text;
    for (const std::string& l : lines) text += l + eol;
    if (!finaleol) text.resize(text.size() - strlen(eol));
    return text;
}

std::string value(const char* section, const char* key) {
    char buf[260] = "";
    GetPrivateProfileStringA(section, key, "<absent>", buf, sizeof buf, ".\\Hostwarden.INI");
    return buf;
}

// A change of an existing key and a new one, then everything read back. A UTF-8 mark is
// dropped at the start, before anything reads the file: Windows' own reader would not
// see the section behind it.
void savesandkeeps(const std::string& shape) {
    writefile("Hostwarden.INI", shape);
    Notices notices;
    profileinit();  // as the program starts
    EXPECT_EQ(profilesettle(5000), savelanded);
    bool marked = shape.compare(0, 3, bom) == 0;
    EXPECT_EQ(readfile("Hostwarden.INI"), marked ? shape.substr(3) : shape) << "only the mark goes";
    ProfileChange change;
    change.put("SOFTWARE\\Hostwarden\\period", "120");
    change.put("SOFTWARE\\Hostwarden\\10.77.0.1", "02 77 00 00 00 01 1 0 1700000000 1700000000");
    EXPECT_TRUE(change.end());
    std::string file = readfile("Hostwarden.INI");
    EXPECT_EQ(value("Hostwarden", "SOFTWARE\\Hostwarden\\period"), "120") << file;
    EXPECT_EQ(value("Hostwarden", "SOFTWARE\\Hostwarden\\lowhost"), "10 77 0 1") << file;
    EXPECT_EQ(value("Hostwarden", "SOFTWARE\\Hostwarden\\10.77.0.1"),
              "02 77 00 00 00 01 1 0 1700000000 1700000000")
        << file;
    EXPECT_EQ(value("Other", "user"), "kept") << file;
    EXPECT_NE(file.find("; written by hand"), std::string::npos) << file;
    EXPECT_NE(file.find("; the range"), std::string::npos) << file;
    EXPECT_NE(file.compare(0, 3, bom), 0) << file;
    EXPECT_EQ(file.find("period=60"), std::string::npos) << file;
    EXPECT_EQ(notices.size(), 0u);
}

TEST(ProfileFiles, WindowsLineEnds) { savesandkeeps(profiletext("\r\n", true)); }
TEST(ProfileFiles, Utf8ByteOrderMark) { savesandkeeps(bom + profiletext("\r\n", true)); }
TEST(ProfileFiles, NoFinalLineBreak) { savesandkeeps(profiletext("\r\n", false)); }
TEST(ProfileFiles, UnixLineEnds) { savesandkeeps(profiletext("\n", true)); }
TEST(ProfileFiles, AllAtOnce) { savesandkeeps(bom + profiletext("\n", false)); }

std::string utf16(const std::wstring& w) {
    std::string s = "\xFF\xFE";
    for (wchar_t c : w) s += std::string{(char)(c & 0xff), (char)(c >> 8)};
    return s;
}

// A key line without "=" is the key's line to the system's reader, which reads it as
// empty: it takes the new value instead of a second line the reader would never see.
TEST(ProfileFiles, AKeyLineWithoutAValueTakesTheValue) {
    const wchar_t* lines = L"[Hostwarden]\r\nSOFTWARE\\Hostwarden\\logs\r\nSOFTWARE\\Hostwarden\\period=60\r\n";
    std::string plain;
    for (const wchar_t* p = lines; *p; p++) plain += (char)*p;
    for (const std::string& shape : {plain, utf16(lines)}) {
        writefile("Hostwarden.INI", shape);
        Notices notices;
        EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\logs", "1"));
        EXPECT_EQ(value("Hostwarden", "SOFTWARE\\Hostwarden\\logs"), "1") << readfile("Hostwarden.INI");
        EXPECT_EQ(value("Hostwarden", "SOFTWARE\\Hostwarden\\period"), "60");
        EXPECT_EQ(notices.size(), 0u);
    }
}

// A file in UTF-16 (little-endian, the only one Windows reads) stays UTF-16, and keeps
// the text it holds outside the ANSI code page, and its comments: nothing of it passes
// through that code page on the way.
TEST(ProfileFiles, Utf16KeepsTextOutsideTheAnsiCodePage) {
    writefile("Hostwarden.INI", utf16(L"[Hostwarden]\r\n; \xd800 kept\r\nSOFTWARE\\Hostwarden\\note=\x3a9\x4e2d\r\n"
                                      L"[Other]\r\nuser=\x3a9\x4e2d\r\n"));
    Notices notices;
    EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\period", "120"));
    wchar_t buf[64] = L"";
    GetPrivateProfileStringW(L"Other", L"user", L"", buf, 64, L".\\Hostwarden.INI");
    EXPECT_EQ(std::wstring(buf), L"\x3a9\x4e2d");
    GetPrivateProfileStringW(L"Hostwarden", L"SOFTWARE\\Hostwarden\\note", L"", buf, 64, L".\\Hostwarden.INI");
    EXPECT_EQ(std::wstring(buf), L"\x3a9\x4e2d");
    EXPECT_EQ(value("Hostwarden", "SOFTWARE\\Hostwarden\\period"), "120");
    EXPECT_EQ(readfile("Hostwarden.INI").find(utf16(L"; \xd800 kept").substr(2)), 2u + 14 * 2);
    EXPECT_EQ(notices.size(), 0u);
}

// UTF-16BE is no profile to Windows: the start says so, reads find nothing in it, and
// no save touches it; once saved as UTF-16LE, saves land again.
TEST(ProfileFiles, Utf16BigEndianIsRefusedAndLeftAsItIs) {
    std::string be = "\xFE\xFF";
    for (char c : std::string("[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\n")) be += std::string{'\0', c};
    writefile("Hostwarden.INI", be);
    Notices notices;
    profileinit();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].text.find("UTF-16 big-endian"), std::string::npos) << notices[0].text;
    EXPECT_EQ(hwtest::profilevalue("SOFTWARE\\Hostwarden\\period"), "<absent>");
    EXPECT_FALSE(putprofile("SOFTWARE\\Hostwarden\\logs", "1"));
    EXPECT_EQ(readfile("Hostwarden.INI"), be);
    EXPECT_EQ(notices.size(), 1u) << "told once";
    EXPECT_EQ(hwtest::profilevalue("SOFTWARE\\Hostwarden\\logs"), "1") << "memory keeps it";
    writefile("Hostwarden.INI", utf16(L"[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=60\r\n"));
    EXPECT_TRUE(putprofile("SOFTWARE\\Hostwarden\\period", "90"));
    EXPECT_EQ(value("Hostwarden", "SOFTWARE\\Hostwarden\\logs"), "1");
    EXPECT_EQ(value("Hostwarden", "SOFTWARE\\Hostwarden\\period"), "90");
}

}  // namespace
