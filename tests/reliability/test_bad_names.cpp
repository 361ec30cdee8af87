// Reverse-DNS names chosen by whoever runs the DNS, through a real patrol: 255
// characters and more, printf directives, control characters. Each host line is
// printed whole within its 260 bytes, the name shown as it came or cut, never expanded.
#include "rel.h"
#include "common/clock.h"
#include "common/notices.h"
#include "common/state.h"
#include "monitor/patrol.h"
#include "textview/logfile.h"
#include "textview/output.h"
#include "app/commands.h"

using namespace hwtest;
using namespace rel;

namespace {

class BadNames : public testing::Test {
protected:
    Notices notices;
    FixedClock clock{1800000000};
    FakeNetwork network{true};
    void SetUp() override { ASSERT_NE(makemainwindow(), nullptr); }
    void TearDown() override { closemainwindow(); }
    // One patrol over a single record, answered with a reverse name; its host line.
    std::string patrolwith(int last, const std::string& name) {
        network.setname(name);
        HostRecord* r = (HostRecord*)listappend(hostlisthead(), sizeof(HostRecord));
        r->addr = {{10, 77, 6, (unsigned char)last}};
        clearoutput();
        startpatrol();
        waitpatrol();
        for (const std::string& v : viewlines())
            if (v.find("10.77.6." + std::to_string(last) + " (") == 0) return v;
        return "<no host line>";
    }
};

TEST_F(BadNames, LongNamesAreCutSoThatTheLineEndsWhole) {
    const size_t lengths[] = {255, 256, 1000, 2000};
    int last = 1;
    for (size_t n : lengths) {
        SCOPED_TRACE(n);
        std::string name(n, 'n');
        std::string line = patrolwith(last++, name);
        EXPECT_LE(line.size(), 259u);
        EXPECT_NE(line.find(" [nnnn"), std::string::npos);
        EXPECT_NE(line.find("] 1 probe 00:00, 100% replies, last succeeded"), std::string::npos);
        listdiscard(hostlisthead());
    }
    EXPECT_TRUE(notices.all().empty());
}

TEST_F(BadNames, DirectivesAndControlCharactersArePrintedAsTheyAre) {
    std::string control;
    for (int c = 1; c < 0x20; c++) control += (char)c;
    const std::string names[] = {"%s%n%s%n%x%p.lab", "%999999999d%I64d%%", control, "\x7f\x80\xfe\xff"};
    int last = 10;
    for (const std::string& name : names) {
        SCOPED_TRACE(last);
        std::string line = patrolwith(last, name);
        std::string want = "10.77.6." + std::to_string(last) + " (02:00:5e:10:20:30) [" + name +
                           "] 1 probe 00:00, 100% replies, last succeeded";
        EXPECT_EQ(line, want);
        listdiscard(hostlisthead());
        last++;
    }
    EXPECT_TRUE(notices.all().empty());
}

// The same lines go to the log file unchanged (a control character is a byte of the
// line; a line feed in a name gives the log an extra line break, as the rules say).
TEST_F(BadNames, LogFileTakesTheHostileLinesAsTheyAre) {
    setuplog(true);
    ASSERT_TRUE(logging);
    std::string line = patrolwith(20, "%s%n\x01\x1b[31m" + std::string(300, 'x'));
    setuplog(true);
    ASSERT_FALSE(logging);
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA("HostwardenLog*.txt", &fd);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    FindClose(f);
    std::string log = readfile(fd.cFileName);
    EXPECT_NE(log.find(line + "\r\n"), std::string::npos);
    // Only the switch's own notice.
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text, std::string("Log File [") + fd.cFileName + "] in use");
}

}  // namespace
