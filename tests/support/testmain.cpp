// Test main: every test runs in a fresh temporary working directory, with the program's
// registry key removed and the notice and clock seams reset.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include "app/clock.h"
#include "app/notices.h"
#include "hwtest.h"

namespace {

void removetree(const char* dir) {
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", dir);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
            char path[MAX_PATH];
            snprintf(path, sizeof path, "%s\\%s", dir, fd.cFileName);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removetree(path);
            else {
                SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path);
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir);
}

class FreshDirectory : public testing::EmptyTestEventListener {
    char home[MAX_PATH] = "";
    char dir[MAX_PATH] = "";

    void OnTestStart(const testing::TestInfo&) override {
        GetCurrentDirectoryA(MAX_PATH, home);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        snprintf(dir, sizeof dir, "%shwtest-%lu-%lu", temp, GetCurrentProcessId(), GetTickCount());
        CreateDirectoryA(dir, nullptr);
        SetCurrentDirectoryA(dir);
        hwtest::clearregistry();
        noticehook = nullptr;
        clockhook = nullptr;
    }
    void OnTestEnd(const testing::TestInfo&) override {
        SetCurrentDirectoryA(home);
        removetree(dir);
        hwtest::clearregistry();
    }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshDirectory);
    return RUN_ALL_TESTS();
}
