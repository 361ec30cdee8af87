// The command's line read back by the system's own splitter, CommandLineToArgvW, which
// follows the C runtime's rules for what commandline writes: every value comes back whole.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>
#include "commandrows.h"
#include "events/commandline.h"

namespace {

// Byte for character both ways: the splitter's rules see only ASCII characters.
std::vector<std::string> systemsplit(const std::string& line) {
    std::wstring w(line.begin(), line.end());
    for (size_t i = 0; i < line.size(); i++) w[i] = (unsigned char)line[i];
    int n = 0;
    wchar_t** argv = CommandLineToArgvW(w.c_str(), &n);
    std::vector<std::string> args;
    for (int i = 0; argv && i < n; i++) {
        std::string a;
        for (const wchar_t* p = argv[i]; *p; p++) a += (char)*p;
        args.push_back(a);
    }
    LocalFree(argv);
    return args;
}

TEST(CommandLineArgv, TheSystemSplitsEachValueBackWhole) {
    Event e = {eventmacchanged, 1709210096, 60, {{10, 77, 0, 5}},
               {0x02, 0x77, 0x01, 0x00, 0x00, 0x0a}, {0x02, 0x77, 0x01, 0x00, 0x00, 0x0b},
               "", "Maker, Inc."};
    for (const CommandRow& r : commandrows) {
        e.name = r.value;
        std::vector<std::string> args =
            commandargs("\"C:\\Program Files\\n.exe\" %name% %address% %maker% x%name%\\", e);
        std::vector<std::string> want = {"C:\\Program Files\\n.exe", r.value, "10.77.0.5",
                                         "Maker, Inc.", std::string("x") + r.value + "\\"};
        ASSERT_EQ(args, want) << r.value;
        EXPECT_EQ(systemsplit(commandline(args)), want) << commandline(args);
    }
}

}  // namespace
