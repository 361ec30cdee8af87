// The real program's dialogs, text box, selection and context menu, driven from outside.
// Works in the test's own empty working directory; every range lies in 10.77.0.x inside
// the empty network namespace the tests run in.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "driver.h"
#include "hwtest.h"
#include "modal.h"
#include "app/commands.h"
#include "resources/resource.h"

namespace {

using hwtest::cwd;

const char configtitle[] = "Configure Hostwarden settings";
const char noconfig[] = "No configuration, use the File / Configuration dialog.";

// The one log file of this directory, as lines; empty when there is none yet.
std::vector<std::string> loglines() {
    std::vector<std::string> v;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("HostwardenLog*.txt", &fd);
    if (h == INVALID_HANDLE_VALUE) return v;
    FindClose(h);
    std::string text = hwtest::readfile(fd.cFileName);
    size_t at = 0;
    while (at < text.size()) {
        size_t lf = text.find('\n', at);
        if (lf == std::string::npos) lf = text.size();
        std::string line = text.substr(at, lf - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        v.push_back(line);
        at = lf + 1;
    }
    return v;
}

int countlines(const std::vector<std::string>& lines, const std::string& part) {
    int n = 0;
    for (const std::string& l : lines)
        if (l.find(part) != std::string::npos) n++;
    return n;
}

// Waits until the log holds `n` lines containing `part`.
bool waitlog(const std::string& part, int n, DWORD timeoutms = 60000) {
    DWORD start = GetTickCount();
    do {
        if (countlines(loglines(), part) >= n) return true;
        Sleep(100);
    } while (GetTickCount() - start < timeoutms);
    return false;
}

void startwithlog(drv::Program* p, HWND* w, const std::string& ranges = "") {
    hwtest::writefile("Hostwarden.INI", "[Hostwarden]\r\n"
                                        "SOFTWARE\\Hostwarden\\period=3600\r\n"
                                        "SOFTWARE\\Hostwarden\\logs=1\r\n" + ranges);
    ASSERT_TRUE(drv::start(cwd(), p));
    *w = drv::mainwindow(*p);
    ASSERT_NE(*w, nullptr);
}

void closeprogram(drv::Program& p, HWND w) {
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(drv::waitexit(p, 60000), 0);
    if (p.process) drv::kill(p);
}

// A button's command posted to a dialog, as a click sends it; posted, so that a message
// box it opens does not hold the driver.
void post(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

// Waits for a message box of the program (a dialog other than `over` with a message
// text); its caption and text.
bool waitmessage(const drv::Program& p, HWND over, drv::Dialog* box, DWORD timeoutms = 20000) {
    DWORD start = GetTickCount();
    do {
        for (const drv::Dialog& d : drv::dialogs(p))
            if (d.window != over && !d.message.empty()) {
                *box = d;
                return true;
            }
        Sleep(50);
    } while (GetTickCount() - start < timeoutms);
    return false;
}

bool gone(HWND w, DWORD timeoutms = 20000) {
    DWORD start = GetTickCount();
    while (IsWindow(w) && IsWindowVisible(w)) {
        if (GetTickCount() - start > timeoutms) return false;
        Sleep(50);
    }
    return true;
}

TEST(E2EUi, ConfigurationAppliesRangesAndPeriodAndTheNextPatrolUsesThem) {
    drv::Program p;
    HWND w;
    startwithlog(&p, &w);
    ASSERT_TRUE(waitlog(noconfig, 1));
    drv::command(w, IDM_CONFIG);
    HWND d = drv::waitdialog(p, configtitle);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(drv::field(d, IDC_PERIOD), "3600");
    EXPECT_EQ(drv::field(d, IDC_LOW1), "0.0.0.0");
    drv::setfield(d, IDC_PERIOD, "7200");
    drv::setfield(d, IDC_LOW1, "10.77.0.5");
    drv::setfield(d, IDC_HIGH1, "10.77.0.7");
    drv::setfield(d, IDC_LOW2, "10.77.0.9");
    drv::setfield(d, IDC_HIGH2, "10.77.0.9");
    post(d, IDOK);
    ASSERT_TRUE(gone(d));
    drv::command(w, IDM_PATROL);
    ASSERT_TRUE(waitlog(" total repl", 1));
    std::vector<std::string> lines = loglines();
    std::vector<std::string> hosts;
    for (const std::string& l : lines)
        if (l.rfind("10.77.", 0) == 0) hosts.push_back(l.substr(0, l.find(' ')));
    std::vector<std::string> want = {"10.77.0.5", "10.77.0.6", "10.77.0.7", "10.77.0.9"};
    EXPECT_EQ(hosts, want);
    closeprogram(p, w);
    char buf[64];
    GetPrivateProfileStringA("Hostwarden", "SOFTWARE\\Hostwarden\\period", "", buf, sizeof buf,
                             ".\\Hostwarden.INI");
    EXPECT_STREQ(buf, "7200");
    GetPrivateProfileStringA("Hostwarden", "SOFTWARE\\Hostwarden\\lowhost2", "", buf, sizeof buf,
                             ".\\Hostwarden.INI");
    EXPECT_STREQ(buf, "10 77 0 9");
}

TEST(E2EUi, InvalidAddressAndSubnetMessagesAreRealMessageBoxes) {
    drv::Program p;
    HWND w;
    startwithlog(&p, &w);
    drv::command(w, IDM_CONFIG);
    HWND d = drv::waitdialog(p, configtitle);
    ASSERT_NE(d, nullptr);
    drv::setfield(d, IDC_LOW1, "no such host!");
    post(d, IDOK);
    drv::Dialog box;
    ASSERT_TRUE(waitmessage(p, d, &box));
    EXPECT_EQ(box.title, "Failure");
    EXPECT_EQ(box.message, "Invalid Internet address <no such host!>");
    drv::press(box.window, IDOK);
    ASSERT_TRUE(gone(box.window));

    drv::setfield(d, IDC_LOW1, "10.77.0.1");
    drv::setfield(d, IDC_HIGH1, "10.77.1.5");
    post(d, IDOK);
    ASSERT_TRUE(waitmessage(p, d, &box));
    EXPECT_EQ(box.title, "Failure");
    EXPECT_EQ(box.message, "Range limits 10.77.0.1 and 10.77.1.5 must be in the same C class subnet");
    drv::press(box.window, IDOK);
    ASSERT_TRUE(gone(box.window));
    EXPECT_TRUE(IsWindowVisible(d));  // the dialog stays open with what was typed
    EXPECT_EQ(drv::field(d, IDC_HIGH1), "10.77.1.5");
    post(d, IDCANCEL);
    ASSERT_TRUE(gone(d));
    closeprogram(p, w);
    char buf[64];
    GetPrivateProfileStringA("Hostwarden", "SOFTWARE\\Hostwarden\\lowhost", "", buf, sizeof buf,
                             ".\\Hostwarden.INI");
    EXPECT_STREQ(buf, "0 0 0 0");
}

// Serial: the clipboard and the modifier keys are shared by every process of the session.
TEST(E2EUiSerial, AboutShowsTheTextBoxAndCopyPutsTheTextOnTheClipboard) {
    hwtest::InputTurn turn;
    drv::Program p;
    HWND w;
    startwithlog(&p, &w);
    hwtest::setclipboardtext("before");
    drv::command(w, IDM_ABOUT);
    HWND box = drv::waitdialog(p, "About HOSTWARDEN 5.3.3");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(drv::field(box, IDC_PERIOD), abouttext);
    post(box, 103);
    drv::Dialog note;
    ASSERT_TRUE(waitmessage(p, box, &note));
    EXPECT_EQ(note.title, "Success");
    EXPECT_EQ(note.message, "Text copied to ClipBoard.");
    std::string clip;
    ASSERT_TRUE(hwtest::clipboardtext(&clip));
    EXPECT_EQ(clip, abouttext);
    drv::press(note.window, IDOK);
    ASSERT_TRUE(gone(note.window));
    post(box, IDOK);
    ASSERT_TRUE(gone(box));
    closeprogram(p, w);
}

// Line height and character width of the view's font (8-point Courier), measured here
// the same way the program measures it.
void viewmetrics(HWND w, int* lineheight, int* charwidth) {
    HDC dc = GetDC(w);
    HFONT f = CreateFontA(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_DONTCARE,
                          FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_DONTCARE, "Courier");
    HGDIOBJ old = SelectObject(dc, f);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SIZE sz;
    GetTextExtentPoint32A(dc, "MMMMMMMMMM", 10, &sz);
    SelectObject(dc, old);
    DeleteObject(f);
    ReleaseDC(w, dc);
    *lineheight = tm.tmHeight + tm.tmExternalLeading;
    *charwidth = sz.cx / 10;
}

// Serial, as above.
TEST(E2EUiSerial, MouseDragThenCtrlCPutsExactlyTheDraggedText) {
    hwtest::InputTurn turn;
    drv::Program p;
    HWND w;
    startwithlog(&p, &w);
    ASSERT_TRUE(waitlog(noconfig, 1));
    Sleep(300);
    hwtest::setclipboardtext("before");
    int lh, cw;
    viewmetrics(w, &lh, &cw);
    // "No configuration, ...": from before 'c' (column 3) to before ',' (column 16)
    auto at = [&](int col) { return MAKELPARAM(10 + col * cw + cw / 2, lh / 2); };
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at(3));
    PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, at(10));
    PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, at(16));
    PostMessageA(w, WM_LBUTTONUP, 0, at(16));
    Sleep(300);
    hwtest::presskey(VK_CONTROL, true);
    Sleep(100);
    PostMessageA(w, WM_KEYDOWN, 'C', 0);
    Sleep(300);
    hwtest::presskey(VK_CONTROL, false);
    std::string clip;
    for (int i = 0; i < 50 && (!hwtest::clipboardtext(&clip) || clip == "before"); i++) Sleep(100);
    EXPECT_EQ(clip, "configuration");
    closeprogram(p, w);
}

TEST(E2EUi, RightButtonMenuPatrolStartsAPatrol) {
    drv::Program p;
    HWND w;
    startwithlog(&p, &w, "SOFTWARE\\Hostwarden\\lowhost=10 77 0 1\r\n"
                         "SOFTWARE\\Hostwarden\\highhost=10 77 0 1\r\n");
    ASSERT_TRUE(waitlog(" total repl", 1));  // the patrol at start-up has ended
    PostMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 40));
    HWND menu = drv::findwindow(p, "#32768");
    ASSERT_NE(menu, nullptr);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(waitlog(" total repl", 2));
    EXPECT_EQ(countlines(loglines(), "10.77.0.1 ("), 2);
    closeprogram(p, w);
}

}  // namespace
