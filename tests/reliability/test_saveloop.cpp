// saverecords over two full ranges, generation after generation. Run alone it saves a
// few generations and reads every line back; with HW_SAVELOOP_DIR set (by
// tests/reliability/killsave.sh) it saves in that folder until the process is killed,
// so that the script can count what a kill in the middle of a save leaves behind (with
// HW_SAVELOOP_START too, it only starts there, as the program does, and ends).
#include "rel.h"
#include "common/state.h"
#include "monitor/records.h"
#include <stdlib.h>

using namespace hwtest;
using namespace rel;

namespace {

const int ranges[2] = {1, 2};  // 10.77.8.1-254 and 10.77.9.1-254

void buildlist() {
    HostRecord* last = nullptr;
    for (int s : ranges)
        for (int o = 1; o <= 254; o++) {
            last = (HostRecord*)listappendafter(hostlisthead(), last, sizeof(HostRecord));
            last->addr = {{10, 77, (unsigned char)(7 + s), (unsigned char)o}};
        }
}

// Generation g of every record: values any reader can check against the address.
void setgeneration(int g) {
    for (HostRecord* r = hostlist; r; r = r->next) {
        const unsigned char mac[6] = {0x02, 0x77, r->addr.o[2], r->addr.o[3], 0, 0x01};
        memcpy(r->mac, mac, 6);
        r->replies = g;
        r->misses = r->addr.o[3];
        r->firstseen = 1700000000LL + r->addr.o[3];
        r->lastreply = 1700000000LL + g;
    }
}

TEST(SaveUnderKill, EveryGenerationReadsBackWhole) {
    const char* dir = getenv("HW_SAVELOOP_DIR");
    if (dir) {
        ASSERT_TRUE(SetCurrentDirectoryA(dir));
        profileinit();  // the program started there
        if (getenv("HW_SAVELOOP_START")) return;
    }
    exitrequest = true;  // no busy indicator: there is no main window here
    buildlist();
    for (int g = 1; dir || g <= 3; g++) {
        setgeneration(g);
        DWORD t0 = GetTickCount();
        saverecords();
        if (dir && g == 1) {
            // Tells the script that the profile is complete and when one save took.
            char ms[32];
            snprintf(ms, sizeof ms, "%lu", (unsigned long)(GetTickCount() - t0));
            writefile("saving", ms);
        }
        if (dir) continue;
        for (HostRecord* r = hostlist; r; r = r->next) {
            char key[recordkeysize];
            formatrecordkey(key, sizeof key, r->addr);
            HostRecord back = {};
            ASSERT_TRUE(parserecordline(profilevalue(key).c_str(), &back)) << key;
            EXPECT_EQ(back.replies, g);
            EXPECT_EQ(back.lastreply, 1700000000LL + g);
        }
    }
    listdiscard(hostlisthead());
}

}  // namespace
