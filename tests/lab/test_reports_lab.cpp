// The real program in the network lab: reports, both exports, the ARP table dump and a
// vendor lookup that runs while a patrol does. Run by tests/lab/lab_reports.sh inside
// the lab's monitoring namespace, with the lab hosts in HW_LAB_HOSTS; skipped elsewhere.
#include "reportsdriver.h"
#include "resources/resource.h"
#include <stdlib.h>
#include <sstream>

using namespace e2erep;

namespace {

using hwtest::cwd;


// The lab this test expects (tests/lab/lab_reports.sh makes it).
const char alpha[] = "10.77.1.10 (00:0d:93:00:01:10) ";
const char bravo[] = "10.77.1.11 (08:00:27:00:01:11) ";
const char delta[] = "10.77.2.20 (52:54:00:00:02:20) ";

bool patrolstart(const std::string& l) {
    // The time and date line: no parenthesis, digits with ':' and '/' or '.'.
    return !l.empty() && l.find('(') == std::string::npos && l.find(':') != std::string::npos &&
           l.find("repl") == std::string::npos && l.find("table") == std::string::npos &&
           l.find(" : ") == std::string::npos;
}

size_t indexof(const std::vector<std::string>& log, const std::string& line, size_t from = 0) {
    for (size_t i = from; i < log.size(); i++)
        if (log[i] == line) return i;
    return std::string::npos;
}

TEST(E2ELab, ReportsExportDumpAndLookupDuringAPatrol) {
    const char* hosts = getenv("HW_LAB_HOSTS");
    if (!hosts) GTEST_SKIP() << "outside the lab";
    long long t = (long long)time(nullptr);
    hwtest::writefile("Hostwarden.INI",
                      "[Hostwarden]\r\n" + key("period", "3600") + key("lowhost", "10 77 1 9") +
                          key("highhost", "10 77 1 12") + key("lowhost2", "10 77 2 19") +
                          key("highhost2", "10 77 2 21") + key("logs", "1") +
                          record("10.77.1.11", "08 00 27 00 01 11", 4, 0, t - 2 * 86400 - 600,
                                 t - 3600));
    drv::Program p;
    ASSERT_TRUE(drv::start(cwd(), &p));
    HWND w = drv::mainwindow(p);
    ASSERT_NE(w, nullptr);

    // Report by Replies over range 1, once the start-up patrol has ended.
    HWND d = opendialog(p, w, IDM_REPORTREPLIES, "Report on IPs", 60000);
    ASSERT_NE(d, nullptr) << lastbox;
    EXPECT_EQ(drv::field(d, IDC_LOW1), "10.77.1.9");
    EXPECT_EQ(drv::field(d, IDC_HIGH1), "10.77.1.12");
    drv::press(d, IDOK);
    ASSERT_TRUE(gone(d));
    // Report by Time over range 2.
    d = opendialog(p, w, IDM_REPORTTIME, "Report on IPs");
    ASSERT_NE(d, nullptr) << lastbox;
    drv::setfield(d, IDC_LOW1, "10.77.2.19");
    drv::setfield(d, IDC_HIGH1, "10.77.2.21");
    drv::press(d, IDOK);
    ASSERT_TRUE(gone(d));
    // The ARP table, which the patrol has filled.
    drv::command(w, IDM_DUMPARP);
    // Export Summary through the file dialog.
    d = opendialog(p, w, IDM_EXPORTSUMMARY, "Select Text File");
    ASSERT_NE(d, nullptr) << lastbox;
    ASSERT_TRUE(drv::answerfiledialog(p, "Select Text File", cwd() + "\\lab summary"));
    // Lookup Companies while a patrol runs: the patrol starts while the file dialog is
    // open, as a timer tick would start it, and the lookup reads and prints meanwhile.
    drv::command(w, IDM_LOOKUP);
    d = drv::waitdialog(p, "Select OUI File");
    ASSERT_NE(d, nullptr);
    drv::command(w, IDM_PATROL);
    Sleep(150);
    ASSERT_TRUE(drv::answerfiledialog(p, "Select OUI File", "Z:\\usr\\share\\ieee-data\\oui.txt"));
    Sleep(4000);  // the patrol's end
    // Export Everything: every output line so far.
    d = opendialog(p, w, IDM_EXPORTALL, "Select Text File");
    ASSERT_NE(d, nullptr) << lastbox;
    ASSERT_TRUE(drv::answerfiledialog(p, "Select Text File", cwd() + "\\lab all"));
    Sleep(300);
    std::string text;
    EXPECT_EQ(messagebox(p, &text), nullptr) << text;
    closeprogram(p, w);

    std::vector<std::string> log = loglines();
    std::string all = joined(log);
    // By replies: the host answering since two days first, then the new one (a MAC seen
    // for the first time has no last reply yet), then the two silent addresses.
    size_t r = indexof(log, std::string(bravo) + "5 replies, last reply 0 days 00:00 ago");
    ASSERT_NE(r, std::string::npos) << all;
    EXPECT_EQ(log[r - 1], "");
    EXPECT_EQ(log[r + 1], std::string(alpha) + "1 reply");
    for (int k = 2; k <= 3; k++) {
        EXPECT_NE(log[r + k].find(" (00:00:00:00:00:00) 0 replies"), std::string::npos) << log[r + k];
        EXPECT_EQ(log[r + k].rfind("10.77.1.", 0), 0u) << log[r + k];
    }
    // By time over range 2: three lines, the lab host among them, held for seconds.
    EXPECT_EQ(log[r + 4], "");
    std::vector<std::string> bytime(log.begin() + r + 5, log.begin() + r + 8);
    EXPECT_NE(indexof(bytime, std::string(delta) + "0 days 00:00"), std::string::npos) << all;
    for (const std::string& l : bytime) EXPECT_EQ(l.rfind("10.77.2.", 0), 0u) << l;
    // The dump: the header, then rows among which every lab host with its MAC.
    size_t arp = indexof(log, "Current ARP table:", r);
    ASSERT_NE(arp, std::string::npos) << all;
    std::vector<std::string> rows;
    for (size_t i = arp + 1; i < log.size() && log[i].find(" : ") != std::string::npos; i++)
        rows.push_back(log[i]);
    std::istringstream in(hosts);
    std::string item;
    while (in >> item) {
        size_t eq = item.find('=');
        std::string row = item.substr(0, eq) + " : " + item.substr(eq + 1);
        EXPECT_NE(indexof(rows, row), std::string::npos) << row << "\n" << all;
    }
    // The summary file: time and date, then the seven records in list order.
    std::vector<std::string> summary = crlflines(hwtest::readfile("lab summary.txt"));
    ASSERT_EQ(summary.size(), 8u) << joined(summary);
    EXPECT_EQ(summary[2].rfind(std::string(alpha) + "1 packet 0 days 00:00, 100% replies", 0), 0u)
        << summary[2];
    EXPECT_EQ(summary[3].rfind(std::string(bravo) + "5 packets 2 days 00:1", 0), 0u) << summary[3];
    EXPECT_EQ(summary[6].rfind(std::string(delta) + "1 packet ", 0), 0u) << summary[6];
    // Everything: the log's lines up to the export, in order.
    std::vector<std::string> everything = crlflines(hwtest::readfile("lab all.txt"));
    ASSERT_GT(everything.size(), arp);
    ASSERT_LE(everything.size(), log.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + everything.size()), everything);
    // The lookup, inside the second patrol: after its start line, before its totals.
    size_t a = indexof(log, std::string(alpha) + "Apple, Inc.");
    size_t b = indexof(log, std::string(bravo) + "PCS Systemtechnik GmbH");
    size_t c = indexof(log, std::string(delta) + "unknown");
    ASSERT_NE(a, std::string::npos) << all;
    ASSERT_NE(b, std::string::npos) << all;
    ASSERT_NE(c, std::string::npos) << all;
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    size_t start = std::string::npos, total = std::string::npos;
    for (size_t i = a; i-- > 0;)
        if (patrolstart(log[i])) {
            start = i;
            break;
        }
    for (size_t i = a; i < log.size(); i++)
        if (log[i].find(" total repl") != std::string::npos) {
            total = i;
            break;
        }
    ASSERT_NE(start, std::string::npos) << all;
    ASSERT_NE(total, std::string::npos) << all;
    EXPECT_GT(start, arp) << "the lookup did not run inside the second patrol\n" << all;
    EXPECT_GT(total, c) << all;
    for (size_t i = start + 1; i < total; i++) EXPECT_FALSE(patrolstart(log[i])) << log[i];
}

}  // namespace
