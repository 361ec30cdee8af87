// The real main window in-process, with HostRecords put in by the test.
#pragma once
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "hwtest.h"
#include "monitor/hostlist.h"
#include "textview/output.h"

class WithWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(hwtest::makemainwindow(), nullptr);
        clearoutput();
    }
    void TearDown() override { hwtest::closemainwindow(); }

    static HostRecord* add(int o0, int o1, int o2, int o3, int replies = 0,
                           long long firstseen = 0, long long lastreply = 0, int macbyte = 0x11) {
        HostRecord* r = (HostRecord*)listappend(hostlisthead(), sizeof(HostRecord));
        r->addr = {{(unsigned char)o0, (unsigned char)o1, (unsigned char)o2, (unsigned char)o3}};
        const unsigned char mac[6] = {0x02, 0, 0, 0, 0, (unsigned char)macbyte};
        memcpy(r->mac, mac, 6);
        r->replies = replies;
        r->firstseen = firstseen;
        r->lastreply = lastreply;
        return r;
    }
    static std::vector<std::string> lines() { return hwtest::viewlines(); }
};
