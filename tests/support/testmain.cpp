// Test main: every test runs in a fresh temporary working directory, with the program's
// registry key removed and the notice and clock seams reset.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include "common/clock.h"
#include "common/notices.h"
#include "settings/profile.h"
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

// Each test process gets registry roots of its own: HKLM and HKCU are mapped onto a
// private key, so programs and tests running beside it never see its placement key
// (nor it theirs).
class PrivateRegistry {
    char name[64] = "";
    HKEY lm = nullptr, cu = nullptr;

public:
    void begin() {
        snprintf(name, sizeof name, "Software\\HostwardenTests\\%lu", GetCurrentProcessId());
        char path[96];
        snprintf(path, sizeof path, "%s\\lm", name);
        RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &lm,
                        nullptr);
        snprintf(path, sizeof path, "%s\\cu", name);
        RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &cu,
                        nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, lm);
        RegOverridePredefKey(HKEY_CURRENT_USER, cu);
    }
    void end() {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(lm);
        RegCloseKey(cu);
        RegDeleteTreeA(HKEY_CURRENT_USER, name);
    }
};

class FreshDirectory : public testing::EmptyTestEventListener {
    char home[MAX_PATH] = "";
    char dir[MAX_PATH] = "";
    PrivateRegistry registry;

    void OnTestStart(const testing::TestInfo&) override {
        GetCurrentDirectoryA(MAX_PATH, home);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        snprintf(dir, sizeof dir, "%shwtest-%lu-%lu", temp, GetCurrentProcessId(), GetTickCount());
        CreateDirectoryA(dir, nullptr);
        SetCurrentDirectoryA(dir);
        // A change waits for the write that takes it, however slow the machine: the
        // tests that prove the short wait of the program set it back to its 100 ms.
        profilewaitms = 10000;
        profileheldtellms = 10000;
        noticechoice = IDCANCEL;
        profileinit();  // as the program does at start, in this test's folder
        if (hwtest::privateregistry) registry.begin();
        hwtest::clearregistry();
        noticehook = nullptr;
        clockhook = nullptr;
    }
    void OnTestEnd(const testing::TestInfo&) override {
        // Nothing left for the writer to try, nor to tell, in a folder about to go.
        profileclosing = true;
        profilediscard();
        SetCurrentDirectoryA(home);
        removetree(dir);
        hwtest::clearregistry();
        if (hwtest::privateregistry) registry.end();
    }
};

}  // namespace

bool hwtest::privateregistry = true;

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshDirectory);
    return RUN_ALL_TESTS();
}
