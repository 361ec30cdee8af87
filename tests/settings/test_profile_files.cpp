// Profiles edited by hand or written by other tools: a save gives every key its new value
// and keeps the user's other lines; a save that cannot be made is told, once a run.
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

// A change of an existing key and a new one, then everything read back.
void savesandkeeps(const std::string& shape) {
    writefile("Hostwarden.INI", shape);
    Notices notices;
    profilebegin();
    profileput("SOFTWARE\\Hostwarden\\period", "120");
    profileput("SOFTWARE\\Hostwarden\\10.77.0.1", "02 77 00 00 00 01 1 0 1700000000 1700000000");
    EXPECT_TRUE(profileend());
    std::string file = readfile("Hostwarden.INI");
    EXPECT_EQ(value("Hostwarden", "SOFTWARE\\Hostwarden\\period"), "120") << file;
    EXPECT_EQ(value("Hostwarden", "SOFTWARE\\Hostwarden\\lowhost"), "10 77 0 1") << file;
    EXPECT_EQ(value("Hostwarden", "SOFTWARE\\Hostwarden\\10.77.0.1"),
              "02 77 00 00 00 01 1 0 1700000000 1700000000")
        << file;
    EXPECT_EQ(value("Other", "user"), "kept") << file;
    EXPECT_NE(file.find("; written by hand"), std::string::npos) << file;
    EXPECT_NE(file.find("; the range"), std::string::npos) << file;
    EXPECT_EQ(file.find("period=60"), std::string::npos) << file;
    EXPECT_EQ(notices.size(), 0u);
}

TEST(ProfileFiles, WindowsLineEnds) { savesandkeeps(profiletext("\r\n", true)); }
TEST(ProfileFiles, Utf8ByteOrderMark) { savesandkeeps(bom + profiletext("\r\n", true)); }
TEST(ProfileFiles, NoFinalLineBreak) { savesandkeeps(profiletext("\r\n", false)); }
TEST(ProfileFiles, UnixLineEnds) { savesandkeeps(profiletext("\n", true)); }
TEST(ProfileFiles, AllAtOnce) { savesandkeeps(bom + profiletext("\n", false)); }

}  // namespace
