// Reports, exports and the vendor lookup of the real program, through its real dialogs.
// The ranges lie in 10.77.0.x, inside the empty network namespace the tests run in:
// nothing answers, so the records keep the replies and times prepared here.
#include "reportsdriver.h"
#include "resources/resource.h"

using namespace e2erep;

namespace {

using hwtest::cwd;
using hwtest::profilevalue;

const char ieeefile[] = "Z:\\usr\\share\\ieee-data\\oui.txt";

class E2EReports : public testing::Test {
protected:
    drv::Program p;
    HWND w = nullptr;
    void SetUp() override {
        long long t = (long long)time(nullptr);
        const long long M = 60, H = 3600, D = 86400;
        hwtest::writefile(
            "Hostwarden.INI",
            "[Hostwarden]\r\n" + key("period", "3600") + key("lowhost", "10 77 0 1") +
                key("highhost", "10 77 0 4") + key("logs", "1") +
                record("10.77.0.1", "00 0d 93 4a 11 2c", 1, 0, t - (3 * D + 4 * H + 7 * M) - 10,
                       t - 42 * M - 10) +
                record("10.77.0.2", "08 00 27 00 00 02", 9, 1, t - 130, 0) +
                record("10.77.0.3", "00 00 00 00 00 03", 1, 2, t - (3 * D + 4 * H + 7 * M) - 490,
                       0));
        ASSERT_TRUE(drv::start(cwd(), &p));
        w = drv::mainwindow(p);
        ASSERT_NE(w, nullptr);
    }
    void TearDown() override {
        if (w && p.process) closeprogram(p, w);
    }
};

TEST_F(E2EReports, ReportsByRepliesAndByTimeThroughTheDialog) {
    HWND d = opendialog(p, w, IDM_REPORTREPLIES, "Report on IPs");
    ASSERT_NE(d, nullptr) << lastbox;
    // Nothing stored yet: range 1.
    EXPECT_EQ(drv::field(d, IDC_LOW1), "10.77.0.1");
    EXPECT_EQ(drv::field(d, IDC_HIGH1), "10.77.0.4");
    // Help opens its text over the dialog, which stays.
    click(d, 9);
    HWND help = drv::waitdialog(p, "HOSTWARDEN VERS 5.3.3 Report Help", 10000);
    ASSERT_NE(help, nullptr);
    drv::press(help, IDOK);
    EXPECT_TRUE(gone(help));
    EXPECT_TRUE(IsWindowVisible(d));
    drv::setfield(d, IDC_HIGH1, "10.77.0.3");
    drv::press(d, IDOK);
    ASSERT_TRUE(gone(d));

    d = opendialog(p, w, IDM_REPORTTIME, "Report on IPs");
    ASSERT_NE(d, nullptr) << lastbox;
    EXPECT_EQ(drv::field(d, IDC_LOW1), "10.77.0.1");
    EXPECT_EQ(drv::field(d, IDC_HIGH1), "10.77.0.3");
    drv::press(d, IDOK);
    ASSERT_TRUE(gone(d));

    // A refused range: the message, the dialog stays, Cancel stores nothing.
    d = opendialog(p, w, IDM_REPORTREPLIES, "Report on IPs");
    ASSERT_NE(d, nullptr) << lastbox;
    drv::setfield(d, IDC_HIGH1, "10.77.1.3");
    click(d, IDOK);
    HWND box = drv::waitdialog(p, "Failure", 10000);
    ASSERT_NE(box, nullptr);
    drv::press(box, IDOK);
    EXPECT_TRUE(IsWindowVisible(d));
    drv::press(d, IDCANCEL);
    ASSERT_TRUE(gone(d));

    closeprogram(p, w);
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\reportlowhost"), "10 77 0 1");
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\reporthighhost"), "10 77 0 3");
    std::vector<std::string> log = loglines();
    size_t replies = findlines(log, {"", "10.77.0.2 (08:00:27:00:00:02) 9 replies",
                                     "10.77.0.3 (00:00:00:00:00:03) 1 reply",
                                     "10.77.0.1 (00:0d:93:4a:11:2c) 1 reply, last reply 0 days "
                                     "00:42 ago"});
    EXPECT_NE(replies, std::string::npos) << joined(log);
    size_t bytime = findlines(log, {"", "10.77.0.3 (00:00:00:00:00:03) 3 days 04:15",
                                    "10.77.0.1 (00:0d:93:4a:11:2c) 3 days 04:07, last reply 0 "
                                    "days 00:42 ago",
                                    "10.77.0.2 (08:00:27:00:00:02) 0 days 00:02"});
    EXPECT_NE(bytime, std::string::npos) << joined(log);
    EXPECT_LT(replies, bytime);
    ASSERT_NE(bytime, std::string::npos);
    // The refused and cancelled third dialog printed nothing more.
    EXPECT_EQ(log.size(), bytime + 4);
}

TEST_F(E2EReports, ExportsThroughTheFileDialog) {
    HWND d = opendialog(p, w, IDM_EXPORTSUMMARY, "Select Text File");
    ASSERT_NE(d, nullptr) << lastbox;
    // Typed without an extension: saved as summary.txt.
    ASSERT_TRUE(drv::answerfiledialog(p, "Select Text File", cwd() + "\\summary"));
    std::vector<std::string> summary;
    for (int i = 0; i < 100 && summary.size() < 5; i++, Sleep(50))
        summary = crlflines(hwtest::readfile("summary.txt"));
    ASSERT_EQ(summary.size(), 5u) << joined(summary);
    EXPECT_FALSE(summary[0].empty());
    const char* starts[] = {"10.77.0.1 (00:0d:93:4a:11:2c) ", "10.77.0.2 (08:00:27:00:00:02) ",
                            "10.77.0.3 (00:00:00:00:00:03) ", "10.77.0.4 (00:00:00:00:00:00) "};
    const char* days[] = {" 3 days 04:07, ", " 0 days 00:02, ", " 3 days 04:15, ", " 0 days 00:00, "};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(summary[i + 1].rfind(starts[i], 0), 0u) << summary[i + 1];
        EXPECT_NE(summary[i + 1].find(days[i]), std::string::npos) << summary[i + 1];
    }
    for (int i = 1; i <= 4; i++) {
        int packets = 0, percent = -1;
        size_t at = summary[i].find(") ");
        ASSERT_NE(at, std::string::npos);
        ASSERT_EQ(sscanf(summary[i].c_str() + at + 2, "%d packet", &packets), 1) << summary[i];
        size_t comma = summary[i].rfind(", ");
        ASSERT_EQ(sscanf(summary[i].c_str() + comma + 2, "%d%% replies", &percent), 1);
        static const int replies[] = {1, 9, 1, 0};
        EXPECT_EQ(percent, packets ? replies[i - 1] * 100 / packets : 0) << summary[i];
    }
    EXPECT_EQ(GetFileAttributesA("summary"), INVALID_FILE_ATTRIBUTES);

    // Everything, then the summary again, both into all.txt.
    d = opendialog(p, w, IDM_EXPORTALL, "Select Text File");
    ASSERT_NE(d, nullptr) << lastbox;
    EXPECT_EQ(drv::field(d, 0x47c), "summary.txt");  // preset from the remembered path
    ASSERT_TRUE(drv::answerfiledialog(p, "Select Text File", cwd() + "\\all.txt"));
    Sleep(300);
    std::string everything = hwtest::readfile("all.txt");
    d = opendialog(p, w, IDM_EXPORTSUMMARY, "Select Text File");
    ASSERT_NE(d, nullptr) << lastbox;
    ASSERT_TRUE(drv::answerfiledialog(p, "Select Text File", cwd() + "\\all.txt"));
    Sleep(300);
    std::string both = hwtest::readfile("all.txt");

    closeprogram(p, w);
    // The profile on disk once the program has ended: the last path chosen.
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\Export"), cwd() + "\\all.txt");
    std::vector<std::string> log = loglines();
    std::vector<std::string> all = crlflines(everything);
    ASSERT_FALSE(all.empty());
    // Everything holds the view's lines, as the log has them, oldest first.
    ASSERT_LE(all.size(), log.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + all.size()), all);
    ASSERT_GT(both.size(), everything.size());
    EXPECT_EQ(both.substr(0, everything.size()), everything);
    std::vector<std::string> second = crlflines(both.substr(everything.size()));
    ASSERT_EQ(second.size(), 5u);
    EXPECT_EQ(second[1].rfind(starts[0], 0), 0u);
}

TEST_F(E2EReports, LookupCompaniesWithTheIeeeListing) {
    // Accepted while a patrol runs too; posted right away here, so it may meet the
    // start-up patrol.
    drv::command(w, IDM_LOOKUP);
    DWORD start = GetTickCount();
    ASSERT_TRUE(drv::answerfiledialog(p, "Select OUI File", ieeefile));
    printf("lookup with the IEEE listing, dialog included: %lu ms\n",
           (unsigned long)(GetTickCount() - start));
    Sleep(500);
    std::string text;
    EXPECT_EQ(messagebox(p, &text), nullptr) << text;
    closeprogram(p, w);
    // In the working directory, though the dialog went to the listing's folder.
    EXPECT_EQ(profilevalue("SOFTWARE\\Hostwarden\\lookupcompanies"), ieeefile)
        << hwtest::readfile("Hostwarden.INI");
    std::vector<std::string> log = loglines();
    EXPECT_TRUE(insequence(log, {"10.77.0.1 (00:0d:93:4a:11:2c) Apple, Inc.",
                                 "10.77.0.2 (08:00:27:00:00:02) PCS Systemtechnik GmbH",
                                 "10.77.0.3 (00:00:00:00:00:03) XEROX CORPORATION"}))
        << joined(log);
    // The never-answered record has patrol lines ("[NA] ...") but no lookup line.
    const std::string zero = "10.77.0.4 (00:00:00:00:00:00) ";
    for (const std::string& l : log)
        if (l.rfind(zero, 0) == 0) {
            EXPECT_EQ(l.compare(zero.size(), 1, "["), 0) << l;
        }
}

}  // namespace
