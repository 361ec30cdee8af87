// choosefile and the two exports.
#include "fixture.h"
#include <windows.h>
#include <commdlg.h>
#include <string>
#include "common/clock.h"
#include "reports/reportdlg.h"
#include "resources/resource.h"
#include "settings/profile.h"
#include "common/winutil.h"
#include "reports/choosefile.h"
#include "reports/export.h"

namespace {

using hwtest::cwd;

const long long T0 = 1700000000;

// A stand-in for the file dialog: keeps what it was given and answers with `answer`
// (empty: cancel).
struct FakeDialog {
    static OPENFILENAMEA seen;
    static std::string file, dir, filter, title, defext, answer;
    static int calls;
    static BOOL WINAPI run(OPENFILENAMEA* ofn) {
        calls++;
        seen = *ofn;
        file = ofn->lpstrFile;
        dir = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "(null)";
        const char* f = ofn->lpstrFilter;
        filter.clear();
        while (*f) {
            filter += f;
            filter += '|';
            f += strlen(f) + 1;
        }
        title = ofn->lpstrTitle;
        defext = ofn->lpstrDefExt ? ofn->lpstrDefExt : "(null)";
        if (answer.empty()) return FALSE;
        snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", answer.c_str());
        return TRUE;
    }
};
OPENFILENAMEA FakeDialog::seen;
std::string FakeDialog::file, FakeDialog::dir, FakeDialog::filter, FakeDialog::title,
    FakeDialog::defext, FakeDialog::answer;
int FakeDialog::calls;

class Export : public WithWindow {
protected:
    void SetUp() override {
        WithWindow::SetUp();
        FakeDialog::calls = 0;
        FakeDialog::answer.clear();
        openfiledialog = FakeDialog::run;
    }
    void TearDown() override {
        openfiledialog = GetOpenFileNameA;
        WithWindow::TearDown();
    }
    static std::string remembered(const char* key = keyexport) {
        char buf[profilebuf];
        return getprofile(key, buf) ? buf : "(none)";
    }
};

std::string timeanddate() {
    char t[260], d[260];
    GetTimeFormatA(0, 0, nullptr, nullptr, t, sizeof t);
    GetDateFormatA(0, 0, nullptr, nullptr, d, sizeof d);
    return std::string(t) + " " + d + "\r\n";
}

TEST_F(Export, DialogIsPresetFromTheRememberedPath) {
    putprofile(keyexport, "C:\\windows\\temp\\hosts.txt");
    FakeDialog::answer = cwd() + "\\picked.txt";
    char path[MAX_PATH];
    ASSERT_TRUE(choosefile(keyexport, "A\0*.a\0B\0*.*\0", "Pick", OFN_EXPLORER, path));
    EXPECT_EQ(FakeDialog::file, "hosts.txt");
    EXPECT_EQ(FakeDialog::dir, "C:\\windows\\temp\\");
    EXPECT_EQ(FakeDialog::seen.lStructSize, (DWORD)OPENFILENAME_SIZE_VERSION_400A);
    EXPECT_EQ(FakeDialog::seen.hwndOwner, mainwindow);
    EXPECT_EQ(FakeDialog::filter, "A|*.a|B|*.*|");
    EXPECT_EQ(FakeDialog::seen.lpstrCustomFilter, nullptr);
    EXPECT_EQ(FakeDialog::seen.nFilterIndex, 1u);
    EXPECT_EQ(FakeDialog::seen.nMaxFile, 260u);
    EXPECT_EQ(FakeDialog::seen.lpstrFileTitle, nullptr);
    EXPECT_EQ(FakeDialog::title, "Pick");
    EXPECT_EQ(FakeDialog::seen.Flags, (DWORD)OFN_EXPLORER);
    EXPECT_EQ(FakeDialog::defext, "txt");
    EXPECT_EQ(std::string(path), FakeDialog::answer);
    EXPECT_EQ(remembered(), FakeDialog::answer);
}

TEST_F(Export, RelativeAndFolderOnlyRememberedPaths) {
    char path[MAX_PATH];
    // Nothing remembered: empty name, the system's default folder.
    ASSERT_FALSE(choosefile(keyexport, "A\0*.a\0", "Pick", 0, path));
    EXPECT_EQ(FakeDialog::file, "");
    EXPECT_EQ(FakeDialog::dir, "(null)");
    // A relative path resolves against the working directory.
    putprofile(keyexport, "out.txt");
    choosefile(keyexport, "A\0*.a\0", "Pick", 0, path);
    EXPECT_EQ(FakeDialog::file, "out.txt");
    EXPECT_EQ(FakeDialog::dir, cwd() + "\\");
    // A folder only: its folder and an empty name.
    putprofile(keyexport, "C:\\windows\\");
    choosefile(keyexport, "A\0*.a\0", "Pick", 0, path);
    EXPECT_EQ(FakeDialog::file, "");
    EXPECT_EQ(FakeDialog::dir, "C:\\windows\\");
}

TEST_F(Export, CancelExportsNothingAndKeepsTheRememberedPath) {
    putprofile(keyexport, "C:\\windows\\temp\\old.txt");
    exportfile(IDM_EXPORTSUMMARY);
    EXPECT_EQ(FakeDialog::calls, 1);
    EXPECT_EQ(FakeDialog::title, "Select Text File");
    EXPECT_EQ(FakeDialog::filter, "Text Files|*.txt|All Files|*.*|");
    EXPECT_EQ(FakeDialog::seen.Flags, (DWORD)(OFN_EXPLORER | OFN_HIDEREADONLY));
    EXPECT_EQ(remembered(), "C:\\windows\\temp\\old.txt");
}

TEST_F(Export, TypedNameWithoutExtensionGetsTxt) {
    FakeDialog::answer = cwd() + "\\typed";
    char path[MAX_PATH];
    ASSERT_TRUE(choosefile(keyexport, "A\0*.a\0", "Pick", 0, path));
    EXPECT_EQ(std::string(path), cwd() + "\\typed.txt");
    EXPECT_EQ(remembered(), cwd() + "\\typed.txt");
    // An existing file without extension, picked in the dialog, is taken as it is.
    hwtest::writefile("README", "x");
    FakeDialog::answer = cwd() + "\\README";
    ASSERT_TRUE(choosefile(keyexport, "A\0*.a\0", "Pick", 0, path));
    EXPECT_EQ(std::string(path), cwd() + "\\README");
}

TEST_F(Export, SummaryOfAnEmptyListIsTheTimeAndDateLine) {
    FakeDialog::answer = cwd() + "\\s.txt";
    std::string before = timeanddate();
    exportfile(IDM_EXPORTSUMMARY);
    std::string after = timeanddate();
    std::string got = hwtest::readfile("s.txt");
    EXPECT_TRUE(got == before || got == after) << got;
}

TEST_F(Export, SummaryListsEveryRecordInListOrder) {
    hwtest::FixedClock clock(T0);
    HostRecord* r = add(10, 77, 1, 20, 45, T0 - (2 * 86400 + 5 * 3600 + 7 * 60));
    r->misses = 3;
    add(10, 77, 1, 21, 1, T0 - 86400);
    add(10, 77, 2, 5, 0, T0 - 50 * 60);
    HostRecord* z = add(10, 77, 2, 6, 1, T0);
    memset(z->mac, 0, 6);
    z->misses = 2;
    FakeDialog::answer = cwd() + "\\s.txt";
    exportfile(IDM_EXPORTSUMMARY);
    std::string got = hwtest::readfile("s.txt");
    size_t eol = got.find("\r\n");
    ASSERT_NE(eol, std::string::npos);
    EXPECT_EQ(got.substr(eol + 2),
              "10.77.1.20 (02:00:00:00:00:11) 48 packets 2 days 05:07, 93% replies\r\n"
              "10.77.1.21 (02:00:00:00:00:11) 1 packet 1 day 00:00, 100% replies\r\n"
              "10.77.2.5 (02:00:00:00:00:11) 0 packets 0 days 00:50, 0% replies\r\n"
              "10.77.2.6 (00:00:00:00:00:00) 3 packets 0 days 00:00, 33% replies\r\n");
}

TEST_F(Export, TwoExportsToOneFileAreBothKeptInOrder) {
    twprintf("first line");
    twprintf("second line");
    hwtest::writefile("e.txt", "old content\r\n");
    FakeDialog::answer = cwd() + "\\e.txt";
    exportfile(IDM_EXPORTALL);
    hwtest::FixedClock clock(T0);
    add(10, 77, 1, 1, 1, T0);
    exportfile(IDM_EXPORTSUMMARY);
    std::string got = hwtest::readfile("e.txt");
    std::string head = "old content\r\nfirst line\r\nsecond line\r\n";
    ASSERT_EQ(got.substr(0, head.size()), head);
    std::string tail = "10.77.1.1 (02:00:00:00:00:11) 1 packet 0 days 00:00, 100% replies\r\n";
    ASSERT_GT(got.size(), head.size() + tail.size());
    EXPECT_EQ(got.substr(got.size() - tail.size()), tail);
    EXPECT_EQ(got.find(tail), got.size() - tail.size());
}

TEST_F(Export, EverythingWithNoLinesCreatesAnEmptyFile) {
    FakeDialog::answer = cwd() + "\\empty.txt";
    exportfile(IDM_EXPORTALL);
    EXPECT_NE(GetFileAttributesA("empty.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(hwtest::readfile("empty.txt"), "");
}

TEST_F(Export, UnwritablePathIsReportedAndStaysRemembered) {
    CreateDirectoryA("adir.txt", nullptr);
    FakeDialog::answer = cwd() + "\\adir.txt";
    hwtest::Notices notices;
    exportfile(IDM_EXPORTALL);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Error");
    EXPECT_EQ(notices[0].text, "Cannot open <" + cwd() + "\\adir.txt>");
    EXPECT_EQ(remembered(), cwd() + "\\adir.txt");
    // The next choice is preset with it.
    FakeDialog::answer.clear();
    exportfile(IDM_EXPORTALL);
    EXPECT_EQ(FakeDialog::file, "adir.txt");
    EXPECT_EQ(FakeDialog::dir, cwd() + "\\");
}

DWORD WINAPI latelines(LPVOID) {
    for (int i = 0; i < 200; i++) twprintf("late %d", i);
    return 0;
}

// Waits for a thread while serving this thread's windows, which the thread may need.
void waitpumping(HANDLE t) {
    DWORD end = GetTickCount() + 30000;
    while (MsgWaitForMultipleObjects(1, &t, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           (int)(end - GetTickCount()) > 0)
        hwtest::pump();
    CloseHandle(t);
}

// Everything holds the view's lock for the whole walk: a line printed by another
// thread meanwhile lands after the walk, never in the middle of it or lost.
TEST_F(Export, EverythingWalksUnderTheLock) {
    for (int i = 0; i < 200; i++) twprintf("line %d", i);
    FakeDialog::answer = cwd() + "\\all.txt";
    HANDLE t = CreateThread(nullptr, 0, latelines, nullptr, 0, nullptr);
    exportfile(IDM_EXPORTALL);
    waitpumping(t);
    std::string got = hwtest::readfile("all.txt");
    std::string expect;
    for (int i = 0; i < 200; i++) expect += "line " + std::to_string(i) + "\r\n";
    ASSERT_GE(got.size(), expect.size());
    EXPECT_EQ(got.substr(0, expect.size()), expect);
    // Whatever of the other thread's lines made it in came in order, after ours.
    std::string rest = got.substr(expect.size());
    int next = 0;
    size_t pos = 0;
    while (pos < rest.size()) {
        size_t eol = rest.find("\r\n", pos);
        ASSERT_NE(eol, std::string::npos);
        EXPECT_EQ(rest.substr(pos, eol - pos), "late " + std::to_string(next++));
        pos = eol + 2;
    }
}

// The system's file dialog, answered by a helper thread as a user would: type a name
// without an extension, press Open.
struct Typist {
    std::string folder;  // browsed into first, when not empty
    std::string name;
    bool found = false;
    DWORD thread = GetCurrentThreadId();  // whose dialog: other test processes run too
    static BOOL CALLBACK match(HWND w, LPARAM out) {
        char cls[16], title[64];
        GetClassNameA(w, cls, sizeof cls);
        GetWindowTextA(w, title, sizeof title);
        if (strcmp(cls, "#32770") || strcmp(title, "Select Text File")) return TRUE;
        *(HWND*)out = w;
        return FALSE;
    }
    static DWORD WINAPI run(LPVOID p) {
        Typist* t = (Typist*)p;
        for (int i = 0; i < 400 && !t->found; i++) {
            HWND d = nullptr;
            EnumThreadWindows(t->thread, match, (LPARAM)&d);
            if (d && IsWindowVisible(d) && GetDlgItem(d, 0x47c)) {
                Sleep(200);
                if (!t->folder.empty()) {
                    SetDlgItemTextA(d, 0x47c, t->folder.c_str());
                    SendMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
                    Sleep(300);
                }
                SetDlgItemTextA(d, 0x47c, t->name.c_str());
                SendMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
                t->found = true;
            }
            Sleep(50);
        }
        return 0;
    }
};

TEST_F(Export, RealDialogTypedNameGetsTxt) {
    openfiledialog = GetOpenFileNameA;
    twprintf("through the real dialog");
    Typist typist;
    typist.name = cwd() + "\\typed";
    HANDLE t = CreateThread(nullptr, 0, Typist::run, &typist, 0, nullptr);
    exportfile(IDM_EXPORTALL);
    waitpumping(t);
    ASSERT_TRUE(typist.found);
    EXPECT_EQ(hwtest::readfile("typed.txt"), "through the real dialog\r\n");
    EXPECT_EQ(GetFileAttributesA("typed"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(remembered(), cwd() + "\\typed.txt");
}

// Browsing to another folder in the dialog must not move the working directory, where
// the profile and the log files live.
TEST_F(Export, RealDialogLeavesTheWorkingDirectory) {
    openfiledialog = GetOpenFileNameA;
    std::string before = cwd();
    Typist typist;
    typist.folder = "C:\\windows";
    typist.name = before + "\\browsed.txt";
    HANDLE t = CreateThread(nullptr, 0, Typist::run, &typist, 0, nullptr);
    exportfile(IDM_EXPORTALL);
    waitpumping(t);
    ASSERT_TRUE(typist.found);
    EXPECT_EQ(cwd(), before);
    EXPECT_NE(GetFileAttributesA("browsed.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(remembered(), before + "\\browsed.txt");
}

}  // namespace
