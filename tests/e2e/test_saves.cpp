// The real program beside another program that holds its profile without sharing delete,
// as a virus scanner or a sync client can, for 15 seconds while the program saves: the
// window answers all along, the user is told once why the save waits, and the save
// lands once the file is free. The test's own process is the other program.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include "driver.h"
#include "hwtest.h"
#include "resources/resource.h"

namespace {

// Boxes with a text the program shows now.
std::vector<drv::Dialog> boxes(const drv::Program& p) {
    std::vector<drv::Dialog> v;
    for (const drv::Dialog& d : drv::dialogs(p))
        if (!d.message.empty()) v.push_back(d);
    return v;
}

TEST(E2ESaves, AHolderWithoutDeleteSharingFor15sLeavesTheWindowAnsweringAndTheSaveLandsAfter) {
    hwtest::writefile("Hostwarden.INI", "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=3600\r\n");
    drv::Program p;
    ASSERT_TRUE(drv::start(hwtest::cwd(), &p));
    HWND w = drv::mainwindow(p);
    ASSERT_NE(w, nullptr);
    HANDLE held = CreateFileA("Hostwarden.INI", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DWORD start = GetTickCount();
    drv::command(w, IDM_LOGS);  // the switch is saved at once
    DWORD slowest = 0, told = 0;
    std::string heldtext;
    while (GetTickCount() - start < 15000) {
        DWORD t0 = GetTickCount();
        DWORD_PTR r;
        EXPECT_TRUE(SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r));
        slowest = std::max(slowest, GetTickCount() - t0);
        for (const drv::Dialog& d : boxes(p)) {
            if (d.message.find("has not been saved") != std::string::npos) {
                told = GetTickCount() - start;
                heldtext = d.message;
            }
            drv::press(d.window, IDOK);  // "Log File [...] in use", then the held notice
        }
        Sleep(100);
    }
    std::string during = hwtest::readfile("Hostwarden.INI");
    CloseHandle(held);
    DWORD freed = GetTickCount();
    while (hwtest::readfile("Hostwarden.INI").find("logs=1") == std::string::npos && GetTickCount() - freed < 5000)
        Sleep(50);
    DWORD landed = GetTickCount() - freed;
    printf("[ saves ] slowest answer %lu ms while held; told after %lu ms; landed %lu ms after the file was free\n",
           (unsigned long)slowest, (unsigned long)told, (unsigned long)landed);
    EXPECT_LT(slowest, 1000u) << "the window waited on the held file";
    EXPECT_EQ(during, "[Hostwarden]\r\nSOFTWARE\\Hostwarden\\period=3600\r\n");
    EXPECT_GE(told, 9000u);
    EXPECT_NE(heldtext.find("another program holds it open"), std::string::npos) << heldtext;
    EXPECT_LT(landed, 5000u);
    EXPECT_NE(hwtest::readfile("Hostwarden.INI").find("SOFTWARE\\Hostwarden\\logs=1\r\n"), std::string::npos);
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(drv::waitexit(p, 30000), 0);
    EXPECT_TRUE(boxes(p).empty());
}

}  // namespace
