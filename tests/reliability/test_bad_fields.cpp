// 259 characters and more in every field of the configuration and report dialogs, and
// hostile stored report limits: each gives the message the rules give, the dialog stays
// open with nothing applied, and the records stay as they were.
#include "rel.h"
#include "common/notices.h"
#include "common/state.h"
#include "modal.h"
#include "reports/reportdlg.h"
#include "resources/resource.h"
#include "settings/configdlg.h"
#include "app/commands.h"

using namespace hwtest;
using namespace rel;

namespace {

UINT_PTR WINAPI quiettimer(HWND w, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    return SetTimer(w, id, elapse ? elapse : 3600000, proc);  // no 10 ms ticks in the test
}

class BadFields : public testing::Test {
protected:
    Notices notices;
    FakeNetwork network{false};
    HWND window = nullptr;
    void SetUp() override {
        WSADATA wsa;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 1), &wsa), 0);
        writeini("SOFTWARE\\Hostwarden\\lowhost=10 77 7 1\r\nSOFTWARE\\Hostwarden\\highhost=10 77 7 3\r\n");
        window = (HWND)makemainwindow();
        ASSERT_NE(window, nullptr);
        waitpatrol();
        configsettimer = quiettimer;
        notices.clear();
    }
    void TearDown() override {
        configsettimer = SetTimer;
        closemainwindow();
        WSACleanup();
    }
    // Opens a dialog by its command, sets one field, presses OK; true when the dialog
    // stayed open (it is then cancelled).
    bool okwith(int command, int field, const std::string& text) {
        bool open = false;
        bool ran = withdialogs([&] { dispatchcommand(window, command); },
                               {[&](HWND d) {
                                   SetDlgItemTextA(d, field, text.c_str());
                                   click(d, IDOK);
                                   open = IsWindow(d) && IsWindowVisible(d);
                                   if (open) click(d, IDCANCEL);
                               }});
        EXPECT_TRUE(ran);
        return open;
    }
    void expectlist() {
        int n = 0;
        for (HostRecord* r = hostlist; r; r = r->next, n++) EXPECT_EQ(r->addr.o[3], n + 1);
        EXPECT_EQ(n, 3);
    }
};

TEST_F(BadFields, LongAddressTextIsToldAsItsFirst259Characters) {
    const int fields[] = {IDC_LOW1, IDC_HIGH1, IDC_LOW2, IDC_HIGH2};
    const int commands[] = {IDM_CONFIG, IDM_REPORTREPLIES};
    const size_t lengths[] = {259, 260, 10000};
    for (int command : commands) {
        for (int field : fields) {
            if (command != IDM_CONFIG && field > IDC_HIGH1) continue;  // the report has two
            for (size_t n : lengths) {
                SCOPED_TRACE(std::to_string(command) + " field " + std::to_string(field) + " length " +
                             std::to_string(n));
                HostRecord* before = hostlist;
                EXPECT_TRUE(okwith(command, field, std::string(n, '1')));
                ASSERT_EQ(notices.size(), 1u);
                EXPECT_EQ(notices[0].caption, "Failure");
                EXPECT_EQ(notices[0].text, "Invalid Internet address <" + std::string(259, '1') + ">");
                EXPECT_EQ(hostlist, before);
                notices.clear();
            }
        }
    }
    expectlist();
    EXPECT_EQ(lowhost.o[3], 1);
    EXPECT_EQ(highhost.o[3], 3);
}

TEST_F(BadFields, HostileTextInAnAddressFieldIsShownAsItIs) {
    const std::string texts[] = {"%s%n%s%n", std::string("\x01\x02\x1b[0m\x7f\xff"), "-1.-1.-1.-1",
                                 "4294967296", "10.77.7.1.5"};
    for (const std::string& t : texts) {
        SCOPED_TRACE(t);
        EXPECT_TRUE(okwith(IDM_CONFIG, IDC_LOW1, t));
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].text, "Invalid Internet address <" + t + ">");
        notices.clear();
    }
    expectlist();
}

// The period field takes digits only when typed; text set into it by other means reads
// as whatever GetDlgItemInt makes of it, and the dialog closes with that period.
TEST_F(BadFields, PeriodFieldWithLongOrForeignTextClosesTheDialog) {
    const std::string texts[] = {std::string(300, '9'), std::string(300, 'x'), "-5"};
    for (const std::string& t : texts) {
        SCOPED_TRACE(t.substr(0, 10));
        EXPECT_FALSE(okwith(IDM_CONFIG, IDC_PERIOD, t));
        EXPECT_TRUE(notices.all().empty());
        printf("[ figure ] period field <%s...> gave the period %d\n", t.substr(0, 10).c_str(), period);
        expectlist();
    }
}

// Typing as the user does: the address fields do not scroll, so they take only what
// fits their width, and the period field refuses letters.
TEST_F(BadFields, TypingStopsAtTheFieldsWidth) {
    size_t typed[6] = {};
    withdialogs([&] { dispatchcommand(window, IDM_CONFIG); },
                {[&](HWND d) {
                    const int ids[] = {IDC_PERIOD, IDC_LOW1, IDC_HIGH1, IDC_LOW2, IDC_HIGH2};
                    for (int i = 0; i < 5; i++) {
                        HWND e = GetDlgItem(d, ids[i]);
                        SetWindowTextA(e, "");
                        for (int k = 0; k < 300; k++) SendMessageA(e, WM_CHAR, i ? '8' : 'x', 0);
                        typed[i] = GetWindowTextLengthA(e);
                    }
                    click(d, IDCANCEL);
                }});
    EXPECT_EQ(typed[0], 0u);
    for (int i = 1; i < 5; i++) {
        EXPECT_GT(typed[i], 0u);
        EXPECT_LT(typed[i], 259u);
        printf("[ figure ] field %d took %u of 300 typed characters\n", i, (unsigned)typed[i]);
    }
    EXPECT_TRUE(notices.all().empty());
}

// Stored report limits that are not four numbers are told once, and the dialog proposes
// range 1 instead.
TEST_F(BadFields, HostileStoredReportLimitsFallBackToRangeOne) {
    const std::string values[] = {std::string(10000, 'x'), binarybytes().substr(0, 9), "99999999999 1 1 1"};
    for (const std::string& v : values) {
        SCOPED_TRACE(v.substr(0, 10));
        writeini("SOFTWARE\\Hostwarden\\reportlowhost=" + v + "\r\nSOFTWARE\\Hostwarden\\reporthighhost=" + v + "\r\n");
        std::string low, high;
        withdialogs([&] { dispatchcommand(window, IDM_REPORTTIME); },
                    {[&](HWND d) {
                        char buf[300];
                        GetDlgItemTextA(d, IDC_LOW1, buf, sizeof buf);
                        low = buf;
                        GetDlgItemTextA(d, IDC_HIGH1, buf, sizeof buf);
                        high = buf;
                        click(d, IDCANCEL);
                    }});
        EXPECT_EQ(low, "10.77.7.1");
        EXPECT_EQ(high, "10.77.7.3");
        bool four = v[0] == '9';
        EXPECT_EQ(notices.size(), four ? 0u : 2u);
        for (const Notice& n : notices.all()) EXPECT_EQ(n.text.find("Invalid default value <"), 0u);
        notices.clear();
    }
    expectlist();
}

}  // namespace
