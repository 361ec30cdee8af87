// Faults of the working folder, driven by tests/reliability/faults.sh, which prepares
// HW_FAULT_DIR (a read-only mount, or a full tmpfs) and checks the profile afterwards.
// Without it these tests are skipped. Each starts the program there over 508 record
// lines, runs a patrol that answers, switches the log, exports both ways and closes.
#include "rel.h"
#include <commdlg.h>
#include <stdlib.h>
#include "common/notices.h"
#include "common/state.h"
#include "reports/reportdlg.h"
#include "resources/resource.h"
#include "textview/logfile.h"
#include "app/commands.h"
#include "common/winutil.h"
#include "reports/choosefile.h"

using namespace hwtest;
using namespace rel;

namespace {

std::string exportpath;
BOOL WINAPI exportdialog(OPENFILENAMEA* ofn) {
    snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", exportpath.c_str());
    return TRUE;
}

class Faults : public testing::Test {
protected:
    Notices notices;
    FakeNetwork network{true};
    std::string before;
    void SetUp() override {
        const char* dir = getenv("HW_FAULT_DIR");
        if (!dir) GTEST_SKIP() << "run by tests/reliability/faults.sh";
        ASSERT_TRUE(SetCurrentDirectoryA(dir));
        profileinit();  // the program started there
        before = readfile("Hostwarden.INI");
        ASSERT_FALSE(before.empty());
        ASSERT_NE(makemainwindow(), nullptr);
        waitpatrol(60000);
        openfiledialog = exportdialog;
        exportpath = std::string(dir) + "\\export.txt";
    }
    void TearDown() override { openfiledialog = GetOpenFileNameA; }
    // Every record answered once more in the patrol (the probe answers with its MAC).
    void expectrecordsupdated() {
        int n = 0;
        for (HostRecord* r = hostlist; r; r = r->next, n++) EXPECT_EQ(r->replies, 2) << n;
        EXPECT_EQ(n, 508);
    }
    void report(const char* what) {
        for (const Notice& n : notices.all()) printf("[ notice ] %s: %s: %s\n", what, n.caption.c_str(), n.text.c_str());
    }
};

TEST_F(Faults, FolderThatCannotBeWritten) {
    // The log could not be opened at start: told once.
    ASSERT_GE(notices.size(), 1u);
    EXPECT_EQ(notices[0].caption, "Failure");
    EXPECT_EQ(notices[0].text.find("Log File [HostwardenLog"), 0u);
    EXPECT_NE(notices[0].text.find("] Open failed"), std::string::npos);
    expectrecordsupdated();
    report("start");
    notices.clear();
    dispatchcommand(mainwindow, IDM_EXPORTSUMMARY);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text, "Cannot open <" + exportpath + ">");
    report("export");
    notices.clear();
    closemainwindow();
    report("close");
    // The shutdown's save of the ranges and period is told, though a failed save was
    // told before; the records' save after it is not told again.
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text.find("Cannot save the profile <"), 0u);
    EXPECT_EQ(readfile("Hostwarden.INI"), before);  // the file as it was, whole
}

TEST_F(Faults, DiskFullWhileSavingLoggingAndExporting) {
    expectrecordsupdated();
    report("start");
    notices.clear();
    dispatchcommand(mainwindow, IDM_EXPORTALL);
    dispatchcommand(mainwindow, IDM_EXPORTSUMMARY);
    report("export");
    // Both exports are told as failed writes (or as files that cannot be opened).
    ASSERT_EQ(notices.size(), 2u);
    for (const Notice& n : notices.all()) {
        EXPECT_EQ(n.caption, "Error");
        EXPECT_TRUE(n.text == "Cannot write <" + exportpath + ">" || n.text == "Cannot open <" + exportpath + ">")
            << n.text;
    }
    notices.clear();
    closemainwindow();
    report("close");
    EXPECT_EQ(notices.size(), 1u);  // the shutdown's save, told once
    // The profile is the old one or a complete new one, never a part.
    std::string after = readfile("Hostwarden.INI");
    EXPECT_TRUE(after == before || after.size() >= before.size()) << after.size() << " of " << before.size();
}

}  // namespace
