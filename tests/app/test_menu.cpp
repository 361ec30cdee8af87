// The menu resource, loaded in-process, item by item.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

namespace {

struct Item {
    const char* text;  // null for a separator
    int id;
};

std::vector<Item> items(HMENU menu) {
    std::vector<Item> out;
    static char texts[64][64];
    static int used = 0;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        MENUITEMINFOA mi = {sizeof mi, MIIM_FTYPE | MIIM_ID | MIIM_STRING};
        mi.dwTypeData = texts[used];
        mi.cch = 64;
        GetMenuItemInfoA(menu, i, TRUE, &mi);
        out.push_back({(mi.fType & MFT_SEPARATOR) ? nullptr : texts[used++], (int)mi.wID});
    }
    return out;
}

void expectitems(HMENU menu, const std::vector<Item>& want) {
    std::vector<Item> got = items(menu);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); i++) {
        if (!want[i].text) {
            EXPECT_EQ(got[i].text, nullptr) << "item " << i << " is a separator";
            continue;
        }
        ASSERT_NE(got[i].text, nullptr) << "item " << i;
        EXPECT_STREQ(got[i].text, want[i].text);
        EXPECT_EQ(got[i].id, want[i].id) << want[i].text;
    }
}

TEST(Menu, MatchesTheCommandTable) {
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), "Hostwarden");  // names ignore case
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    char title[64];
    const char* tops[] = {"&File", "&Report", "&Help"};
    for (int i = 0; i < 3; i++) {
        GetMenuStringA(menu, i, title, sizeof title, MF_BYPOSITION);
        EXPECT_STREQ(title, tops[i]);
    }
    expectitems(GetSubMenu(menu, 0), {{"&Configuration", 101},
                                      {"Export &Summary", 11844},
                                      {"Export &Everything", 11845},
                                      {"C&lear Display", 104},
                                      {"&Reset Records", 11846},
                                      {"Enable &Logs", 40002},
                                      {nullptr, 0},
                                      {"&Patrol", 11842},
                                      {"S&top Patrolling", 40001},
                                      {nullptr, 0},
                                      {"E&xit", 100}});
    expectitems(GetSubMenu(menu, 1), {{"&Dump ARP table", 11843},
                                      {"Lookup Companies", 11848},
                                      {"Report by &Time", 11847},
                                      {"Report by &Replies", 11849}});
    expectitems(GetSubMenu(menu, 2), {{"&About", 301}});
    DestroyMenu(menu);
}

TEST(Menu, IconAndVersionResources) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_NE(LoadIconA(self, MAKEINTRESOURCEA(1)), nullptr);
    HRSRC v = FindResourceA(self, MAKEINTRESOURCEA(1), (LPCSTR)RT_VERSION);
    ASSERT_NE(v, nullptr);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    void* data = LockResource(LoadResource(self, v));
    ASSERT_TRUE(VerQueryValueA(data, "\\", (void**)&info, &len));
    EXPECT_EQ(info->dwFileVersionMS, (5u << 16) | 3u);
    EXPECT_EQ(HIWORD(info->dwFileVersionLS), 3u);
}

}  // namespace
