// Dialog resource 1 as the program loads it: read from the compiled resources.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "resources/resource.h"

namespace {

struct Item {
    DWORD style, exstyle;
    short x, y, cx, cy;
    WORD id;
    std::wstring cls;  // name, or "#n" for an ordinal
    std::wstring text;
};

const WORD* readsz(const WORD* p, std::wstring* out) {
    if (*p == 0xFFFF) {
        *out = L"#" + std::to_wstring(p[1]);
        return p + 2;
    }
    out->assign((const wchar_t*)p);
    return p + out->size() + 1;
}

struct Dialog {
    DWORD style, exstyle;
    short x, y, cx, cy;
    std::wstring menu, cls, title, face;
    WORD points;
    std::vector<Item> items;
};

bool loaddialog(Dialog* d) {
    HRSRC r = FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONFIG), (LPCSTR)RT_DIALOG);
    if (!r) return false;
    const DLGTEMPLATE* t = (const DLGTEMPLATE*)LockResource(LoadResource(nullptr, r));
    if (!t || ((const WORD*)t)[1] == 0xFFFF) return false;  // not the extended form
    d->style = t->style;
    d->exstyle = t->dwExtendedStyle;
    d->x = t->x, d->y = t->y, d->cx = t->cx, d->cy = t->cy;
    const WORD* p = (const WORD*)(t + 1);
    p = readsz(p, &d->menu);
    p = readsz(p, &d->cls);
    p = readsz(p, &d->title);
    if (t->style & DS_SETFONT) {
        d->points = *p++;
        p = readsz(p, &d->face);
    }
    for (int i = 0; i < t->cdit; i++) {
        p = (const WORD*)(((uintptr_t)p + 3) & ~(uintptr_t)3);
        const DLGITEMTEMPLATE* it = (const DLGITEMTEMPLATE*)p;
        Item item;
        item.style = it->style;
        item.exstyle = it->dwExtendedStyle;
        item.x = it->x, item.y = it->y, item.cx = it->cx, item.cy = it->cy;
        item.id = it->id;
        p = (const WORD*)(it + 1);
        p = readsz(p, &item.cls);
        p = readsz(p, &item.text);
        p += *p ? *p / 2 : 1;  // the size word counts itself
        d->items.push_back(item);
    }
    return true;
}

std::wstring lower(std::wstring s) {
    for (auto& c : s) c = (wchar_t)towlower(c);
    return s;
}
bool isclass(const std::wstring& cls, const wchar_t* name, int ordinal) {
    return lower(cls) == name || cls == L"#" + std::to_wstring(ordinal);
}

TEST(ConfigResource, DialogHeaderAsDesigned) {
    Dialog d;
    ASSERT_TRUE(loaddialog(&d));
    EXPECT_EQ(d.style, (DWORD)(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                               DS_SETFONT | DS_3DLOOK));
    EXPECT_EQ(d.exstyle, 0u);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, 203);
    EXPECT_EQ(d.cy, 95);
    EXPECT_EQ(d.menu, L"");
    EXPECT_EQ(d.cls, L"");
    EXPECT_EQ(d.title, L"Configure Hostwarden settings");
    EXPECT_EQ(d.points, 8);
    EXPECT_EQ(d.face, L"MS Sans Serif");
}

// Every control in tab order, with exactly its styles: no default button, digits only in
// the period, no horizontal auto-scroll in the address fields.
TEST(ConfigResource, ControlsInOrderWithExactStylesAndRectangles) {
    Dialog d;
    ASSERT_TRUE(loaddialog(&d));
    const DWORD base = WS_CHILD | WS_VISIBLE;
    const DWORD button = base | WS_TABSTOP | BS_CENTER;
    const DWORD address = base | WS_BORDER | WS_TABSTOP;
    struct Want {
        WORD id;
        const wchar_t* cls;
        int ordinal;
        const wchar_t* text;
        short x, y, cx, cy;
        DWORD style;
    } want[] = {
        {1, L"button", 0x80, L"OK", 13, 73, 50, 14, button},
        {2, L"button", 0x80, L"Cancel", 77, 73, 50, 14, button},
        {9, L"button", 0x80, L"Help", 141, 73, 50, 14, button},
        {101, L"edit", 0x81, L"", 114, 8, 40, 13, base | WS_BORDER | WS_TABSTOP | ES_NUMBER},
        {65535, L"static", 0x82, L"Period in seconds:", 49, 10, 61, 8, base | SS_RIGHT},
        {102, L"edit", 0x81, L"", 18, 27, 76, 12, address},
        {103, L"edit", 0x81, L"", 109, 27, 76, 12, address},
        {104, L"edit", 0x81, L"", 18, 49, 76, 12, address},
        {105, L"edit", 0x81, L"", 109, 49, 76, 12, address},
        {65535, L"static", 0x82, L"to", 97, 50, 9, 8, base},
        {65535, L"static", 0x82, L"to", 98, 29, 9, 8, base},
    };
    ASSERT_EQ(d.items.size(), sizeof want / sizeof want[0]);
    for (size_t i = 0; i < d.items.size(); i++) {
        const Item& it = d.items[i];
        const Want& w = want[i];
        EXPECT_EQ(it.id, w.id) << i;
        EXPECT_TRUE(isclass(it.cls, w.cls, w.ordinal)) << i;
        EXPECT_EQ(it.text, w.text) << i;
        EXPECT_EQ(it.x, w.x) << i;
        EXPECT_EQ(it.y, w.y) << i;
        EXPECT_EQ(it.cx, w.cx) << i;
        EXPECT_EQ(it.cy, w.cy) << i;
        EXPECT_EQ(it.style, w.style) << i << std::hex << " style " << it.style;
        EXPECT_EQ(it.exstyle, 0u) << i;
        EXPECT_NE(it.style & 0xF, (DWORD)BS_DEFPUSHBUTTON) << i;
    }
}

}  // namespace
