// The command outlet, with real processes: tests/e2e's hwhold appends its arguments to a
// file (args) or counts itself alive in a shared mapping for a while (busy).
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "events/runcommand.h"
#include "hwtest.h"

namespace {

// This build's hwhold.exe (in tests/e2e beside this exe).
std::string holdpath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of("\\/")) + "\\e2e\\hwhold.exe";
}
std::string hold() { return "\"" + holdpath() + "\""; }

// The three LONGs `hwhold busy` counts in: alive, most alive at once, ended.
struct Counters {
    std::string name = "hwbusy-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    HANDLE m = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name.c_str());
    volatile LONG* c = (volatile LONG*)MapViewOfFile(m, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    ~Counters() {
        UnmapViewOfFile((void*)c);
        CloseHandle(m);
    }
    std::string command(int ms) const { return hold() + " busy " + name + " " + std::to_string(ms); }
    // True once counter i reaches n, within 10 s.
    bool reaches(int i, LONG n) const {
        for (int t = 0; t < 1000 && c[i] < n; t++) Sleep(10);
        return c[i] >= n;
    }
};

struct Told {
    std::string line;
    unsigned long error;
};
std::vector<Told> told;  // written on the commands' thread, read once it is idle
void tell(const std::string& line, unsigned long error) { told.push_back({line, error}); }

class RunCommand : public testing::Test {
protected:
    void SetUp() override {
        told.clear();
        commandfailed = tell;
    }
    void TearDown() override {
        EXPECT_TRUE(commandsidle(30000));
        commandfailed = nullptr;
        commandlimit = 4;
        commandqueuelimit = 256;
    }
};

}  // namespace

// No shell between the line and the program: operators, variables and quotes inside a
// value reach it as plain arguments, split only by CreateProcess's own rules.
TEST_F(RunCommand, ArgumentsArriveAsGivenWithNothingInterpreted) {
    struct Row {
        const char* args;
        const char* seen;
    } rows[] = {
        {"a \"b c\" d", "a\nb c\nd\n"},
        {"x & echo y", "x\n&\necho\ny\n"},
        {"\"say \\\"hi\\\" & go\" | more", "say \"hi\" & go\n|\nmore\n"},
        {"%PATH% ^& >made.txt", "%PATH%\n^&\n>made.txt\n"},
        {"\"10.77.0.5\" \"\" \"new machine\"", "10.77.0.5\n\nnew machine\n"},
    };
    int n = sizeof rows / sizeof rows[0];
    for (int i = 0; i < n; i++) runcommand(hold() + " args row" + std::to_string(i) + ".txt " + rows[i].args);
    ASSERT_TRUE(commandsidle(30000));
    for (int i = 0; i < n; i++)
        EXPECT_EQ(rows[i].seen, hwtest::readfile(("row" + std::to_string(i) + ".txt").c_str())) << rows[i].args;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("made.txt"));  // no redirection
    EXPECT_TRUE(told.empty());
}

// A storm of ten: four alive at a time, every one run, none dropped.
TEST_F(RunCommand, NoMoreThanTheLimitAliveAndEveryOneRuns) {
    Counters k;
    unsigned long dropped = commandsdropped();
    for (int i = 0; i < 10; i++) runcommand(k.command(1000));
    ASSERT_TRUE(commandsidle(30000));
    EXPECT_EQ(10, k.c[2]);
    EXPECT_EQ(4, k.c[1]);
    EXPECT_EQ(dropped, commandsdropped());
}

// Behind one alive, a queue of three: the first three run in order, the two newest are
// dropped and counted.
TEST_F(RunCommand, QueueKeepsOrderAndDropsTheNewestBeyondItsBound) {
    commandlimit = 1;
    commandqueuelimit = 3;
    Counters k;
    runcommand(k.command(1000));
    ASSERT_TRUE(k.reaches(0, 1));
    unsigned long dropped = commandsdropped();
    for (int i = 1; i <= 5; i++) runcommand(hold() + " args queue.txt " + std::to_string(i));
    EXPECT_EQ(dropped + 2, commandsdropped());
    ASSERT_TRUE(commandsidle(30000));
    EXPECT_EQ("1\n2\n3\n", hwtest::readfile("queue.txt"));
}

// Each event expands the line differently: a program that cannot start is told once,
// with the system's error, until a line of it starts; then a new failure is told again.
TEST_F(RunCommand, AMissingProgramIsToldOnceUntilItStarts) {
    std::string later = "\"" + hwtest::cwd() + "\\later.exe\"";
    runcommand(later + " 10.77.0.5");
    runcommand(later + " 10.77.0.6");
    ASSERT_TRUE(commandsidle(30000));
    ASSERT_EQ(1u, told.size());
    EXPECT_EQ(later + " 10.77.0.5", told[0].line);
    EXPECT_EQ(2u, told[0].error);  // ERROR_FILE_NOT_FOUND

    ASSERT_TRUE(CopyFileA(holdpath().c_str(), "later.exe", FALSE));
    runcommand(later + " args started.txt x");
    ASSERT_TRUE(commandsidle(30000));
    EXPECT_EQ("x\n", hwtest::readfile("started.txt"));
    ASSERT_TRUE(DeleteFileA("later.exe"));
    runcommand(later + " 10.77.0.7");
    ASSERT_TRUE(commandsidle(30000));
    ASSERT_EQ(2u, told.size());
    EXPECT_EQ(later + " 10.77.0.7", told[1].line);
}

// Only the NUL device is inherited: a file we hold without sharing is free again once we
// close it, though a command started meanwhile is still alive.
TEST_F(RunCommand, InheritsNoHandleOfOurs) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE h = CreateFileA("held.txt", GENERIC_WRITE, 0, &sa, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    Counters k;
    runcommand(k.command(1500));
    ASSERT_TRUE(k.reaches(0, 1));
    CloseHandle(h);
    h = CreateFileA("held.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, h) << "error " << GetLastError();
    EXPECT_EQ(1, k.c[0]);  // the command was alive all along
    CloseHandle(h);
}

// The close starts nothing that waits, neither waits for nor kills the command alive, and
// a line after it starts afresh.
TEST_F(RunCommand, ShutdownStartsNoMoreAndLeavesTheAliveRunning) {
    commandlimit = 1;
    Counters k;
    runcommand(k.command(1500));
    ASSERT_TRUE(k.reaches(0, 1));
    unsigned long dropped = commandsdropped();
    runcommand(hold() + " args waited.txt x");
    EXPECT_TRUE(commandsshutdown(5000));
    EXPECT_EQ(1, k.c[0]);            // still alive when the close is done
    EXPECT_TRUE(k.reaches(2, 1));    // and ends by itself
    EXPECT_EQ(dropped + 1, commandsdropped());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("waited.txt"));
    runcommand(hold() + " args after.txt y");
    ASSERT_TRUE(commandsidle(30000));
    EXPECT_EQ("y\n", hwtest::readfile("after.txt"));
}
