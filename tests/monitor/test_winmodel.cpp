// The SendARP pool and the names looked up ahead against a model of Windows' timing
// (winmodel.h): the same lines and records as one probe and one lookup at a time, and
// Stop and close within a second while every worker is blocked in a silent address's
// call. With HW_BENCH_WINMODEL set, the benchmark of bench/windows-model.sh: patrol
// times against the ideal for two pools of addresses, and with the NetBIOS wait.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <stdlib.h>
#include <string>
#include <vector>
#include "hwtest.h"
#include "winmodel.h"
#include "common/state.h"
#include "monitor/hostlist.h"
#include "monitor/namecache.h"
#include "monitor/patrol.h"
#include "monitor/probe.h"
#include "monitor/probeahead.h"
#include "monitor/records.h"
#include "resources/resource.h"
#include "textview/output.h"
#include "common/winutil.h"
#include "monitor/sendarp.h"
#include "settings/profile.h"

using namespace hwtest;

namespace {

const long long T = 1700000000;

struct Layout {
    int subnets, perSubnet, live;
};

// Records 10.77.S.1.. of each subnet; every step-th one answers, every other one of
// those with a DNS name. Some records hold what earlier patrols left: another MAC, an
// answer three days ago.
void build(const Layout& layout) {
    listdiscard(hostlisthead());
    winmodel::model->live.clear();
    winmodel::model->names.clear();
    int step = layout.subnets * layout.perSubnet / layout.live;
    HostRecord* last = nullptr;
    int n = 0;
    for (int s = 1; s <= layout.subnets; s++)
        for (int o = 1; o <= layout.perSubnet; o++, n++) {
            HostRecord* r = (HostRecord*)listappendafter(hostlisthead(), last, sizeof(HostRecord));
            r->addr = {{10, 77, (unsigned char)s, (unsigned char)o}};
            r->firstseen = T - 5 * 86400;
            if (n % step == 0) winmodel::addlive(r->addr, (unsigned char)(n % 3));
            if (n % (2 * step) == 0) winmodel::addname(r->addr, "pc" + std::to_string(n) + ".lab");
            if (n % 7 == 0) {
                unsigned char old[6] = {0x02, 0x77, (unsigned char)s, (unsigned char)o, 0, 1};
                memcpy(r->mac, old, 6);
                r->replies = 4;
                r->lastreply = T - 3 * 86400;
            }
            last = r;
        }
}

class WindowsModel : public testing::Test {
protected:
    FixedClock clock{T};
    winmodel::Model model;
    void SetUp() override {
        winmodel::model = &model;
        reverselookup = winmodel::lookup;
        ASSERT_NE(makemainwindow(), nullptr);
    }
    void TearDown() override {
        stoprequest = false;
        closemainwindow();
        // Workers blocked in the model's calls outlive their run: let them end first.
        for (int i = 0; i < 1000 && model.inflight; i++) Sleep(10);
        aheadarp = sendarp;
        probehook = nullptr;
        probeahead = true;
        for (int i = 0; i < 1000 && model.lookupsinflight; i++) Sleep(10);
        reverselookup = resolvename;
    }
    // One patrol on this thread, with no name cached; its lines and the saved profile.
    std::pair<std::vector<std::string>, std::string> patrol() {
        clearoutput();
        DeleteFileA("Hostwarden.INI");
        for (HostRecord* r = hostlist; r; r = r->next) forgetname(r->addr);
        patrolthread();
        profilesettle(5000);
        // The records only: the machines seen are saved by the first of the two runs alone.
        std::string ini = readfile("Hostwarden.INI");
        size_t machines = ini.find("[Hostwarden machines]");
        return {viewlines(), ini.substr(0, machines)};
    }
    // Waits for the patrol thread, pumping; false after `ms`.
    bool waitpatrol(DWORD ms) {
        for (DWORD t0 = GetTickCount(); patrolling; pump())
            if (GetTickCount() - t0 > ms) return false;
        return true;
    }
    // Starts a patrol over every address silent, and waits until every worker is in a call.
    void patrolblocked() {
        build({2, 254, 1});
        model.live.clear();
        startpatrol();
        for (DWORD t0 = GetTickCount(); model.inflight < aheadworkers && GetTickCount() - t0 < 5000;)
            pump(5);
        ASSERT_EQ(model.inflight, aheadworkers);
    }
};

// Probes and lookups that end out of order (later addresses first), named and nameless
// hosts, MACs changed and kept: the same lines, names included, as one at a time.
TEST_F(WindowsModel, ThePoolGivesTheLinesAndRecordsOfOneProbeAtATime) {
    model.retransmitms = 30;  // silent calls of 90 ms: a short test
    model.namedms = 40;
    model.namelessms = 25;
    Layout layout = {2, 60, 15};
    build(layout);
    probeahead = false;
    probehook = winmodel::probe;
    auto onebyone = patrol();
    build(layout);
    model.cache.clear();
    probeahead = true;
    probehook = nullptr;
    aheadarp = winmodel::call;
    model.peak = 0;
    auto ahead = patrol();
    EXPECT_EQ(ahead.first, onebyone.first);
    EXPECT_EQ(ahead.second, onebyone.second);
    EXPECT_GT(model.peak, 1) << "the probes did not run side by side";
    EXPECT_LE(model.peak, aheadworkers);
    EXPECT_GT(model.lookuppeak, 1) << "the lookups did not run side by side";
    ASSERT_GT(ahead.first.size(), 124u);
    EXPECT_EQ(ahead.first[ahead.first.size() - 2], "15 total replies");
    size_t named = 0;
    for (const std::string& l : ahead.first) named += l.find(".lab]") != std::string::npos;
    EXPECT_EQ(named, 8u);
}

TEST_F(WindowsModel, StopAndCloseEndWithinASecondWithEveryWorkerBlocked) {
    aheadarp = winmodel::call;
    patrolblocked();
    DWORD t0 = GetTickCount();
    SendMessageA(mainwindow, WM_COMMAND, IDM_STOPPATROL, 0);
    EXPECT_TRUE(waitpatrol(1000)) << "Stop Patrolling took over a second";
    printf("[ timing ] Stop Patrolling with %d workers blocked: %lu ms\n", aheadworkers,
           (unsigned long)(GetTickCount() - t0));
    std::vector<std::string> lines = viewlines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "0 total replies");
    for (int i = 0; i < 1000 && model.inflight; i++) Sleep(10);  // the calls end unseen

    patrolblocked();
    t0 = GetTickCount();
    closemainwindow();
    DWORD took = GetTickCount() - t0;
    printf("[ timing ] close with %d workers blocked: %lu ms\n", aheadworkers, (unsigned long)took);
    EXPECT_LT(took, 1000u);
    EXPECT_FALSE(patrolling);
}

// The benchmark: the real probes ahead and patrol loop over the model, for each pool size
// in HW_BENCH_WINMODEL (a comma-separated list), over 2 x /24 with 8 live hosts and over
// 100 addresses with 20 live.
TEST_F(WindowsModel, Benchmark) {
    const char* sizes = getenv("HW_BENCH_WINMODEL");
    if (!sizes) GTEST_SKIP() << "run by bench/windows-model.sh";
    aheadarp = winmodel::call;
    int defaultsize = aheadworkers;
    Addr4 silent = {{10, 77, 9, 9}};
    unsigned char mac[6];
    DWORD t0 = GetTickCount();
    winmodel::call(silent, mac);
    DWORD ideal = GetTickCount() - t0;
    printf("[ model ] RetransmitTime %d ms; one silent probe (the ideal): %lu ms\n",
           model.retransmitms, (unsigned long)ideal);
    const struct {
        const char* name;
        Layout layout;
    } pools[] = {{"2 x /24, 8 live", {2, 256, 8}}, {"100 addresses, 20 live", {1, 100, 20}}};
    for (const char* p = sizes; *p;) {
        aheadworkers = atoi(p);
        for (const auto& pool : pools) {
            build(pool.layout);
            model.cache.clear();
            model.peak = 0;
            t0 = GetTickCount();
            patrolthread();
            DWORD total = GetTickCount() - t0;
            t0 = GetTickCount();
            saverecords();
            DWORD save = GetTickCount() - t0;
            DWORD probing = total > save ? total - save : 0;
            printf("[ model ] pool %3d, %-22s: patrol %6lu ms, ideal %lu ms, ratio %.2f, "
                   "peak in flight %d (save %lu ms)\n",
                   aheadworkers, pool.name, (unsigned long)probing, (unsigned long)ideal,
                   (double)probing / ideal, model.peak.load(), (unsigned long)save);
            fflush(stdout);
            for (int i = 0; i < 1000 && model.inflight; i++) Sleep(10);
        }
        while (*p && *p != ',') p++;
        if (*p) p++;
    }
    aheadworkers = defaultsize;
    // Names: the same patrol with every nameless answering host's lookup held for the
    // NetBIOS wait, against one whose lookups end at once.
    Layout dense = {2, 256, 128};
    DWORD times[2];
    for (int i = 0; i < 2; i++) {
        model.namelessms = i ? 2000 : 0;
        build(dense);
        model.cache.clear();
        model.lookuppeak = 0;
        for (HostRecord* r = hostlist; r; r = r->next) forgetname(r->addr);
        t0 = GetTickCount();
        patrolthread();
        times[i] = GetTickCount() - t0;
        printf("[ model ] pool %3d, 2 x /24, 128 live, 64 nameless, NetBIOS wait %4d ms: patrol "
               "%6lu ms, lookups at once %d\n",
               aheadworkers, model.namelessms, (unsigned long)times[i], model.lookuppeak.load());
        fflush(stdout);
        for (int k = 0; k < 1000 && (model.inflight || model.lookupsinflight); k++) Sleep(10);
    }
    printf("[ model ] names ratio (NetBIOS wait 2 s / none): %.2f\n", (double)times[1] / times[0]);
}

}  // namespace
