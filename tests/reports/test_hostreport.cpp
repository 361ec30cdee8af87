// hostreport over the HostList, and the report dialog's remembered range.
#include "fixture.h"
#include <windows.h>
#include "common/state.h"
#include "reports/reportdlg.h"
#include "resources/resource.h"
#include "settings/profile.h"
#include "reports/hostreport.h"

namespace {

const long long T0 = 1700000000;

class HostReport : public WithWindow {};

Addr4 A(int o0, int o1, int o2, int o3) {
    return {{(unsigned char)o0, (unsigned char)o1, (unsigned char)o2, (unsigned char)o3}};
}

TEST_F(HostReport, EmptyLineThenRecordsSortedByReplies) {
    hwtest::FixedClock clock(T0);
    add(10, 77, 1, 12, 4, T0 - 100, T0 - 60);
    add(10, 77, 1, 30, 4, T0 - 100, T0 - 60);
    add(10, 77, 1, 5, 9, T0 - 50, 0);
    add(10, 77, 1, 7, 4, T0 - 500, 0);
    hwtest::Notices notices;
    hostreport(A(10, 77, 1, 0), A(10, 77, 1, 255), 1);
    std::vector<std::string> expect = {
        "",
        "10.77.1.5 (02:00:00:00:00:11) 9 replies",
        "10.77.1.7 (02:00:00:00:00:11) 4 replies",
        "10.77.1.30 (02:00:00:00:00:11) 4 replies, last reply 0 days 00:01 ago",
        "10.77.1.12 (02:00:00:00:00:11) 4 replies, last reply 0 days 00:01 ago",
    };
    EXPECT_EQ(lines(), expect);
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(HostReport, ByTimeListsTheLongestHeldFirst) {
    hwtest::FixedClock clock(T0);
    add(10, 77, 1, 1, 0, T0 - 59);
    add(10, 77, 1, 2, 0, T0 - 86400);
    add(10, 77, 1, 3, 0, T0 - (25 * 3600 + 5 * 60));
    add(10, 77, 1, 4, 0, T0 + 90);  // clock set back
    hostreport(A(10, 77, 1, 1), A(10, 77, 1, 4), 2);
    std::vector<std::string> expect = {
        "",
        "10.77.1.3 (02:00:00:00:00:11) 1 day 01:05",
        "10.77.1.2 (02:00:00:00:00:11) 1 day 00:00",
        "10.77.1.1 (02:00:00:00:00:11) 0 days 00:00",
        "10.77.1.4 (02:00:00:00:00:11) 0 days 00:-1",
    };
    EXPECT_EQ(lines(), expect);
}

TEST_F(HostReport, OnlyTheRangeAndAnAddressOfBothRangesOnceFromRangeOne) {
    hwtest::FixedClock clock(T0);
    // Range 1: .9 .. .11, range 2 overlapping at .10 .. .11 (other MACs), other subnet.
    add(10, 77, 1, 9, 1, T0);
    add(10, 77, 1, 10, 1, T0, 0, 0x01);
    add(10, 77, 1, 11, 1, T0, 0, 0x01);
    add(10, 77, 1, 10, 1, T0, 0, 0x02);
    add(10, 77, 1, 11, 1, T0, 0, 0x02);
    add(10, 77, 2, 10, 1, T0, 0, 0x03);
    hostreport(A(10, 77, 1, 10), A(10, 77, 1, 11), 1);
    std::vector<std::string> expect = {
        "",
        "10.77.1.11 (02:00:00:00:00:01) 1 reply",
        "10.77.1.10 (02:00:00:00:00:01) 1 reply",
    };
    EXPECT_EQ(lines(), expect);
}

TEST_F(HostReport, RangeWithoutRecordsPrintsOnlyTheEmptyLine) {
    add(10, 77, 1, 9);
    hwtest::Notices notices;
    hostreport(A(10, 77, 3, 0), A(10, 77, 3, 255), 2);
    EXPECT_EQ(lines(), std::vector<std::string>{""});
    EXPECT_EQ(notices.size(), 0u);
}

TEST_F(HostReport, RangeUpToOctet255EndsAndReversedRangeSelectsNothing) {
    add(10, 77, 1, 255, 3);
    add(10, 77, 1, 254, 3);
    hostreport(A(10, 77, 1, 250), A(10, 77, 1, 255), 1);
    EXPECT_EQ(lines().size(), 3u);
    clearoutput();
    hostreport(A(10, 77, 1, 255), A(10, 77, 1, 254), 1);
    EXPECT_EQ(lines(), std::vector<std::string>{""});
}

TEST_F(HostReport, UnknownSortIsRefused) {
    add(10, 77, 1, 9);
    hwtest::Notices notices;
    hostreport(A(10, 77, 1, 0), A(10, 77, 1, 255), 3);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Error");
    EXPECT_EQ(notices[0].text, "report: unknown sort");
    EXPECT_EQ(lines(), std::vector<std::string>{""});
}

void* failingcalloc(size_t, size_t) { return nullptr; }

TEST_F(HostReport, FailedAllocationShowsSortFailure) {
    add(10, 77, 1, 9);
    hwtest::Notices notices;
    reportalloc = failingcalloc;
    hostreport(A(10, 77, 1, 0), A(10, 77, 1, 255), 1);
    reportalloc = calloc;
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Error");
    EXPECT_EQ(notices[0].text, "report: sort failure");
    EXPECT_EQ(lines(), std::vector<std::string>{""});
}

// The report dialog, run modeless so that the test can look at it and press its buttons.
class ReportDialog : public WithWindow {
protected:
    HWND open(int kind) {
        HWND d = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_REPORT),
                                    nullptr, reportDlg_Proc, kind);
        hwtest::pump();
        return d;
    }
    static std::string field(HWND d, int id) {
        char buf[64] = "";
        GetDlgItemTextA(d, id, buf, sizeof buf);
        return buf;
    }
};

TEST_F(ReportDialog, ProposesRangeOneWhenNothingIsStored) {
    lowhost = A(10, 0, 0, 100);
    highhost = A(10, 0, 0, 199);
    HWND d = open(1);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(field(d, IDC_LOW1), "10.0.0.100");
    EXPECT_EQ(field(d, IDC_HIGH1), "10.0.0.199");
    DestroyWindow(d);
    lowhost = highhost = A(0, 0, 0, 0);
}

TEST_F(ReportDialog, ShowsTheStoredRange) {
    putprofile(keyreportlow, "10 77 5 20");
    putprofile(keyreporthigh, "10 77 5 40");
    lowhost = A(10, 0, 0, 100);
    highhost = A(10, 0, 0, 199);
    HWND d = open(2);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(field(d, IDC_LOW1), "10.77.5.20");
    EXPECT_EQ(field(d, IDC_HIGH1), "10.77.5.40");
    DestroyWindow(d);
    lowhost = highhost = A(0, 0, 0, 0);
}

TEST_F(ReportDialog, MalformedStoredRangeIsReportedAndRangeOneShown) {
    putprofile(keyreportlow, "10 77 x");
    lowhost = A(10, 0, 0, 100);
    highhost = A(10, 0, 0, 199);
    hwtest::Notices notices;
    HWND d = open(1);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(field(d, IDC_LOW1), "10.0.0.100");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].text.find("10 77 x"), std::string::npos);
    DestroyWindow(d);
    lowhost = highhost = A(0, 0, 0, 0);
}

TEST_F(ReportDialog, OkStoresTheRangeReportsAndTheNextDialogShowsIt) {
    hwtest::FixedClock clock(T0);
    add(10, 77, 6, 3, 2, T0);
    HWND d = open(1);
    ASSERT_NE(d, nullptr);
    SetDlgItemTextA(d, IDC_LOW1, "10.77.6.1");
    SetDlgItemTextA(d, IDC_HIGH1, "10.77.6.9");
    hwtest::Notices notices;
    SendMessageA(d, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(notices.size(), 0u);
    EXPECT_FALSE(IsWindowVisible(d));  // ended
    DestroyWindow(d);
    std::vector<std::string> expect = {"", "10.77.6.3 (02:00:00:00:00:11) 2 replies"};
    EXPECT_EQ(lines(), expect);
    char buf[profilebuf];
    ASSERT_TRUE(getprofile(keyreportlow, buf));
    EXPECT_STREQ(buf, "10 77 6 1");
    ASSERT_TRUE(getprofile(keyreporthigh, buf));
    EXPECT_STREQ(buf, "10 77 6 9");

    // A range that selects nothing is stored all the same, and shown next time.
    d = open(2);
    EXPECT_EQ(field(d, IDC_LOW1), "10.77.6.1");
    SetDlgItemTextA(d, IDC_LOW1, "10.77.9.1");
    SetDlgItemTextA(d, IDC_HIGH1, "10.77.9.2");
    SendMessageA(d, WM_COMMAND, IDOK, 0);
    DestroyWindow(d);
    d = open(1);
    EXPECT_EQ(field(d, IDC_LOW1), "10.77.9.1");
    EXPECT_EQ(field(d, IDC_HIGH1), "10.77.9.2");
    DestroyWindow(d);
}

TEST_F(ReportDialog, RefusedRangeKeepsTheDialogAndStoresNothing) {
    add(10, 77, 6, 3, 2, T0);
    HWND d = open(1);
    ASSERT_NE(d, nullptr);
    SetDlgItemTextA(d, IDC_LOW1, "10.77.6.9");
    SetDlgItemTextA(d, IDC_HIGH1, "10.77.6.1");
    hwtest::Notices notices;
    SendMessageA(d, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Failure");
    EXPECT_TRUE(IsWindowVisible(d));
    SetDlgItemTextA(d, IDC_HIGH1, "not an address");
    SendMessageA(d, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(notices.size(), 2u);
    EXPECT_TRUE(IsWindowVisible(d));
    SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowVisible(d));
    DestroyWindow(d);
    char buf[profilebuf];
    EXPECT_FALSE(getprofile(keyreportlow, buf));
    EXPECT_TRUE(lines().empty());
}

// Dialog resource 2 as built: reads the template itself, field by field.
struct TemplateReader {
    const BYTE* p;
    WORD word() {
        WORD w;
        memcpy(&w, p, 2);
        p += 2;
        return w;
    }
    DWORD dword() {
        DWORD d;
        memcpy(&d, p, 4);
        p += 4;
        return d;
    }
    short sword() { return (short)word(); }
    // A name or an ordinal; ordinals come back as "#<number>".
    std::string name() {
        WORD w = word();
        if (w == 0xffff) return "#" + std::to_string(word());
        std::string s;
        for (; w; w = word()) s += (char)w;
        return s;
    }
    void align(const BYTE* base) {
        while ((p - base) & 3) p++;
    }
};

TEST(ReportResource, MatchesItsLayout) {
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_REPORT), (LPCSTR)RT_DIALOG);
    ASSERT_NE(res, nullptr);
    const BYTE* base = (const BYTE*)LockResource(LoadResource(nullptr, res));
    ASSERT_NE(base, nullptr);
    TemplateReader r = {base};
    EXPECT_EQ(r.dword(), (DWORD)(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                 DS_SETFONT | DS_3DLOOK | DS_CONTEXTHELP));
    EXPECT_EQ(r.dword(), 0u);
    WORD count = r.word();
    EXPECT_EQ(count, 6);
    short x = r.sword(), y = r.sword(), cx = r.sword(), cy = r.sword();
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(cx, 201);
    EXPECT_EQ(cy, 60);
    EXPECT_EQ(r.name(), "");  // no menu
    EXPECT_EQ(r.name(), "");  // the standard class
    EXPECT_EQ(r.name(), "Report on IPs");
    EXPECT_EQ(r.word(), 8);
    EXPECT_EQ(r.name(), "MS Sans Serif");
    const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CENTER;
    const DWORD edit = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP;
    struct {
        WORD id;
        const char* cls;  // the class by atom (0x80 button, 0x81 edit, 0x82 static)
        const char* text;
        short x, y, cx, cy;
        DWORD style;
    } controls[] = {
        {IDOK, "#128", "OK", 11, 32, 50, 14, button},
        {IDCANCEL, "#128", "Cancel", 75, 32, 50, 14, button},
        {IDC_HELPBUTTON, "#128", "Help", 139, 32, 50, 14, button},
        {IDC_LOW1, "#129", "", 17, 7, 76, 12, edit},
        {IDC_HIGH1, "#129", "", 108, 7, 76, 12, edit},
        {0xffff, "#130", "to", 97, 9, 7, 8, WS_CHILD | WS_VISIBLE},
    };
    for (int i = 0; i < count && i < 6; i++) {
        auto& c = controls[i];
        r.align(base);
        EXPECT_EQ(r.dword(), c.style) << i;
        EXPECT_EQ(r.dword(), 0u) << i;
        short vals[4];
        for (short& v : vals) v = r.sword();
        EXPECT_EQ(vals[0], c.x) << i;
        EXPECT_EQ(vals[1], c.y) << i;
        EXPECT_EQ(vals[2], c.cx) << i;
        EXPECT_EQ(vals[3], c.cy) << i;
        EXPECT_EQ(r.word(), c.id) << i;
        // A class may be given by atom or by name; both name the same class.
        std::string cls = r.name();
        if (!_stricmp(cls.c_str(), "Button")) cls = "#128";
        if (!_stricmp(cls.c_str(), "Edit")) cls = "#129";
        if (!_stricmp(cls.c_str(), "Static")) cls = "#130";
        EXPECT_EQ(cls, c.cls) << i;
        EXPECT_EQ(r.name(), c.text) << i;
        WORD extra = r.word();
        r.p += extra;
    }
}

}  // namespace
