// Stress, driven by tests/reliability/stress.sh inside a lab: a patrol every second over
// the lab's two ranges for HW_STRESS_SECONDS while the view is scrolled, selected and
// copied, the guarded commands are tried and lines are appended (100,000 in all). Every
// ten seconds it checks that `count` equals the chain and prints the process's GDI and
// USER objects, handles and private bytes. Skipped without HW_STRESS_SECONDS.
#include "rel.h"
// K32GetProcessMemoryInfo from kernel32: no extra library.
#define PSAPI_VERSION 2
#include <psapi.h>
#include <stdlib.h>
#include "common/notices.h"
#include "common/state.h"
#include "resources/resource.h"
#include "textview/input.h"
#include "textview/linebuffer.h"
#include "textview/output.h"
#include "app/commands.h"
#include "textview/copy.h"

using namespace hwtest;
using namespace rel;

namespace {

struct Sample {
    DWORD gdi, user, handles;
    SIZE_T privatebytes;
};

Sample sample() {
    Sample s;
    HANDLE p = GetCurrentProcess();
    s.gdi = GetGuiResources(p, GR_GDIOBJECTS);
    s.user = GetGuiResources(p, GR_USEROBJECTS);
    s.handles = 0;
    GetProcessHandleCount(p, &s.handles);
    PROCESS_MEMORY_COUNTERS m = {};
    m.cb = sizeof m;
    GetProcessMemoryInfo(p, &m, sizeof m);
    s.privatebytes = m.PagefileUsage;  // the private bytes, in this structure's words
    return s;
}

int chainlength() {
    EnterCriticalSection(&lb.lock);
    int n = 0;
    for (OutputLine* l = lb.first; l; l = l->next) n++;
    int count = lb.count;
    LeaveCriticalSection(&lb.lock);
    return n == count ? n : -1 - n;
}

TEST(Stress, PatrolEverySecondWhileTheUserWorks) {
    const char* secs = getenv("HW_STRESS_SECONDS");
    if (!secs) GTEST_SKIP() << "run by tests/reliability/stress.sh";
    const int seconds = atoi(secs);
    Notices notices;  // the refusals and warnings are counted, not shown
    writeini("SOFTWARE\\Hostwarden\\period=1\r\nSOFTWARE\\Hostwarden\\lowhost=10 77 1 2\r\n"
             "SOFTWARE\\Hostwarden\\highhost=10 77 1 40\r\nSOFTWARE\\Hostwarden\\lowhost2=10 77 2 2\r\n"
             "SOFTWARE\\Hostwarden\\highhost2=10 77 2 40\r\n");
    HWND w = (HWND)makemainwindow();
    ASSERT_NE(w, nullptr);
    const int appendtotal = 100000;
    int appended = 0, copies = 0, mismatches = 0, patrols = 0;
    bool waspatrolling = false;
    DWORD start = GetTickCount(), lastsample = 0;
    std::vector<Sample> samples;
    printf("[ stress ] seconds gdi user handles private_kib lines appended patrols notices\n");
    for (int step = 0;; step++) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= (DWORD)seconds * 1000) break;
        pump(20);
        if (patrolling && !waspatrolling) patrols++;
        waspatrolling = patrolling;
        // The user: scroll, select with the mouse, copy, try the guarded commands.
        SendMessageA(w, WM_VSCROLL, step % 3 ? SB_LINEUP : SB_PAGEDOWN, 0);
        SendMessageA(w, WM_HSCROLL, step % 2 ? SB_LINERIGHT : SB_LINELEFT, 0);
        SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
        SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 120 + step % 50));
        SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(200, 120 + step % 50));
        if (copyllsel(w)) copies++;
        if (step % 10 == 0) {
            // Refused while patrolling, else done (none of these opens a dialog).
            dispatchcommand(w, IDM_RESETRECORDS);
            dispatchcommand(w, IDM_CLEAR);
            dispatchcommand(w, IDM_DUMPARP);
            dispatchcommand(w, IDM_PATROL);  // the warning, or a new patrol
        }
        // The appends, spread over the run.
        int due = (int)((long long)appendtotal * elapsed / ((DWORD)seconds * 1000));
        for (; appended < due; appended++) twprintf("stress line %d %s", appended, "x");
        if (chainlength() < 0) mismatches++;
        if (elapsed - lastsample >= 10000 || samples.empty()) {
            lastsample = elapsed;
            Sample s = sample();
            samples.push_back(s);
            printf("[ stress ] %lu %lu %lu %lu %lu %d %d %d %u\n", (unsigned long)(elapsed / 1000),
                   (unsigned long)s.gdi, (unsigned long)s.user, (unsigned long)s.handles,
                   (unsigned long)(s.privatebytes / 1024), lb.count, appended, patrols,
                   (unsigned)notices.size());
            fflush(stdout);
        }
    }
    for (; appended < appendtotal; appended++) twprintf("stress line %d %s", appended, "x");
    EXPECT_EQ(mismatches, 0);
    // Clear Display empties the view now and then; the chain is whole and within the cap.
    int held = chainlength();
    EXPECT_GE(held, 1);
    EXPECT_LE(held, 4097);
    EXPECT_GT(patrols, 1);
    EXPECT_GT(copies, 0);
    // Flat after the first minutes: the last sample against the one at a third of the run.
    ASSERT_GE(samples.size(), 3u);
    const Sample& mid = samples[samples.size() / 3];
    const Sample& end = samples.back();
    printf("[ stress ] from %lus on: gdi %lu -> %lu, user %lu -> %lu, handles %lu -> %lu, private %lu -> %lu KiB; %d copies, %d patrols\n",
           (unsigned long)(seconds / 3), (unsigned long)mid.gdi, (unsigned long)end.gdi,
           (unsigned long)mid.user, (unsigned long)end.user, (unsigned long)mid.handles,
           (unsigned long)end.handles, (unsigned long)(mid.privatebytes / 1024),
           (unsigned long)(end.privatebytes / 1024), copies, patrols);
    EXPECT_LE(end.gdi, mid.gdi + 5);
    EXPECT_LE(end.user, mid.user + 5);
    EXPECT_LE(end.handles, mid.handles + 20);
    EXPECT_LE(end.privatebytes, mid.privatebytes + 4 * 1024 * 1024);
    DWORD t0 = GetTickCount();
    closemainwindow();  // waits for a running patrol: no deadlock
    printf("[ stress ] closed in %lu ms\n", (unsigned long)(GetTickCount() - t0));
}

}  // namespace
