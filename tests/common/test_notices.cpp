// Notices: styles by caption identity, formatting, the real message box, error texts,
// centring on the desktop.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <thread>
#include "common/notices.h"
#include "common/winutil.h"
#include "hwtest.h"

namespace {

TEST(Notices, StyleFollowsTheSharedCaptionByIdentity) {
    hwtest::Notices n;
    char lookalike[] = "Error";
    msgbox(captionerror, "stop");
    msgbox(captionfailure, "Can't do that while patrolling!");
    msgbox("Success", "plain");
    msgbox(lookalike, "same letters, other string");
    ASSERT_EQ(n.size(), 4u);
    EXPECT_EQ(n[0].style, 0x2010u);
    EXPECT_EQ(n[1].style, 0x2030u);
    EXPECT_EQ(n[1].text, "Can't do that while patrolling!");
    EXPECT_EQ(n[2].style, 0x2000u);
    EXPECT_EQ(n[3].style, 0x2000u);
}

TEST(Notices, FormatIsExpandedAndLongTextCutAt1023) {
    hwtest::Notices n;
    msgbox(captionerror, "Memory allocation failed <%d>", 40);
    std::string longtext(3000, 'x');
    msgbox(captionerror, "%s", longtext.c_str());
    ASSERT_EQ(n.size(), 2u);
    EXPECT_EQ(n[0].text, "Memory allocation failed <40>");
    EXPECT_EQ(n[1].text.size(), 1023u);
}

struct SeenBox {
    std::string caption, text;
    bool hand = false, exclamation = false, anyicon = false;
};

// Waits for a message box of this process, reads it, and presses OK.
void closebox(SeenBox* seen) {
    for (int i = 0; i < 400; i++) {
        HWND box = FindWindowA("#32770", nullptr);
        DWORD pid = 0;
        if (box) GetWindowThreadProcessId(box, &pid);
        if (box && pid == GetCurrentProcessId() && IsWindowVisible(box)) {
            char buf[1024];
            GetWindowTextA(box, buf, sizeof buf);
            seen->caption = buf;
            GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
            seen->text = buf;
            HWND iconctl = GetDlgItem(box, 1088);  // the message box's icon control
            HICON icon = iconctl && IsWindowVisible(iconctl)
                             ? (HICON)SendMessageA(iconctl, STM_GETICON, 0, 0)
                             : nullptr;
            seen->anyicon = icon != nullptr;
            seen->hand = icon && icon == LoadIconA(nullptr, (LPCSTR)IDI_HAND);
            seen->exclamation = icon && icon == LoadIconA(nullptr, (LPCSTR)IDI_EXCLAMATION);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return;
        }
        Sleep(25);
    }
}

TEST(Notices, RealMessageBoxShowsCaptionTextAndIcon) {
    SeenBox error, failure, plain;
    std::thread t1(closebox, &error);
    msgbox(captionerror, "Failed to find Winsock %d.%d or better.", 2, 1);
    t1.join();
    EXPECT_EQ(error.caption, "Error");
    EXPECT_EQ(error.text, "Failed to find Winsock 2.1 or better.");
    EXPECT_TRUE(error.hand);

    std::thread t2(closebox, &failure);
    msgbox(captionfailure, "Can't do that while patrolling!");
    t2.join();
    EXPECT_EQ(failure.caption, "Failure");
    EXPECT_TRUE(failure.exclamation);

    std::thread t3(closebox, &plain);
    msgbox("Success", "Text copied to ClipBoard.");
    t3.join();
    EXPECT_EQ(plain.caption, "Success");
    EXPECT_EQ(plain.text, "Text copied to ClipBoard.");
    EXPECT_FALSE(plain.anyicon);
}

TEST(Notices, SystemErrorTextForKnownAndUnknownCodes) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    char* known = syserrortext();
    ASSERT_NE(known, nullptr);
    EXPECT_GT(strlen(known), 5u);
    LocalFree(known);

    SetLastError(0x2abcdef1);  // no system text for this code
    char* unknown = syserrortext();
    ASSERT_NE(unknown, nullptr);
    EXPECT_STREQ(unknown, "Unknown error 717020913\r\n");
    EXPECT_EQ(LocalFree(unknown), nullptr);
}

HWND popup(int width, int height) {
    return CreateWindowExA(0, "STATIC", "t", WS_POPUP, 5, 5, width, height, nullptr, nullptr,
                           nullptr, nullptr);
}

TEST(Notices, CenterDialogOnTheDesktop) {
    RECT d;
    GetWindowRect(GetDesktopWindow(), &d);
    ASSERT_EQ(d.left, 0);
    ASSERT_EQ(d.right, 1024) << "the test prefix has a 1024x768 virtual desktop";
    HWND narrow = popup(301, 100), wide = popup(1030, 100);
    centerdialog(narrow);
    centerdialog(wide);
    RECT n, w;
    GetWindowRect(narrow, &n);
    GetWindowRect(wide, &w);
    EXPECT_EQ(n.left, 361);
    EXPECT_EQ(n.right - n.left, 301);
    EXPECT_EQ(n.top, (d.bottom - 100) / 2);
    EXPECT_EQ(w.left, -3);
    DestroyWindow(narrow);
    DestroyWindow(wide);
}

}  // namespace
