// The admin's command: the template split as the C runtime splits a command line, the
// event's values put in as whole arguments, and the line that hands them over unchanged.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "commandrows.h"
#include "events/commandline.h"

namespace {

typedef std::vector<std::string> Args;

Event sample() {
    Event e = {eventmacchanged, 1709210096, 60, {{10, 77, 0, 5}},
               {0x02, 0x77, 0x01, 0x00, 0x00, 0x0a}, {0x02, 0x77, 0x01, 0x00, 0x00, 0x0b},
               "host-5", "Maker, Inc."};
    return e;
}

TEST(CommandLine, TemplatesSplitAsTheRuntimeSplits) {
    const struct {
        const char* templ;
        Args args;
    } cases[] = {
        {"", {}},
        {" \t ", {}},
        {"  prog   a\tb  ", {"prog", "a", "b"}},
        {"\"C:\\Program Files\\Notify\\notify.exe\" x",
         {"C:\\Program Files\\Notify\\notify.exe", "x"}},
        {"\"C:\\x y\\p.exe\"z", {"C:\\x y\\p.exe", "z"}},
        {"\"C:\\unclosed path", {"C:\\unclosed path"}},
        {"C:\\a\"b c\" d", {"C:\\a\"b", "c d"}},  // no quoting inside an unquoted program
        // 2n backslashes and a quote: n and a grouping quote; 2n+1: n and a literal quote.
        {"p a\\\\\\\"b c\\\\\"d e\" f\\\\\\\\ g\\h",
         {"p", "a\\\"b", "c\\d e", "f\\\\\\\\", "g\\h"}},
        {"p \"a \"\"quoted\"\" word\" \"\"", {"p", "a \"quoted\" word", ""}},
        {"p a\"b c\"d \"open to the end", {"p", "ab cd", "open to the end"}},
        {"p \\\\\"a b\" \\\"c", {"p", "\\a b", "\"c"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitcommandline(c.templ), c.args) << c.templ;
}

TEST(CommandLine, PlaceholdersTakeTheEventsValues) {
    Event e = sample();
    Event fresh = sample();
    fresh.kind = eventnewmachine;
    memset(fresh.oldmac, 0, 6);
    const struct {
        const Event* e;
        const char* templ;
        Args args;
    } cases[] = {
        {&e, "C:\\tools\\notify.exe %kind% %address% %oldmac% %newmac%",
         {"C:\\tools\\notify.exe", "MAC changed", "10.77.0.5", "02:77:01:00:00:0a",
          "02:77:01:00:00:0b"}},
        {&e, "\"C:\\Program Files\\n.exe\" --at=%time% \"%name% (%maker%)\"",
         {"C:\\Program Files\\n.exe", "--at=2024-02-29T13:34:56+01:00", "host-5 (Maker, Inc.)"}},
        {&fresh, "n.exe %KIND% %Name% \"%oldmac%\" %oldmac% x%oldmac%y",
         {"n.exe", "new machine", "host-5", "", "", "xy"}},
        {&e, "n.exe 100%% %%kind%% %unknown% %unknown%kind% 50% %",
         {"n.exe", "100%", "%kind%", "%unknown%", "%unknownMAC changed", "50%", "%"}},
        // The program is taken as written: no value chooses what runs.
        {&e, "%name%.exe %name%", {"%name%.exe", "host-5"}},
    };
    for (const auto& c : cases) EXPECT_EQ(commandargs(c.templ, *c.e), c.args) << c.templ;
}

// Each value as the host's name: one argument holding exactly it, the line as the row
// gives it, and that line split again gives the same arguments.
TEST(CommandLine, AnyValueStaysOneArgumentThroughTheLine) {
    for (const CommandRow& r : commandrows) {
        Event e = sample();
        e.name = r.value;
        Args args =
            commandargs("\"C:\\Program Files\\n.exe\" %name% %address% %name% --name=%name%", e);
        Args want = {"C:\\Program Files\\n.exe", r.value, "10.77.0.5", r.value,
                     std::string("--name=") + r.value};
        ASSERT_EQ(args, want) << r.value;
        std::string line = commandline(args);
        std::string head = std::string("\"C:\\Program Files\\n.exe\" ") + r.quoted +
                           " 10.77.0.5 " + r.quoted + " ";
        EXPECT_EQ(line.substr(0, head.size()), head) << r.value;
        EXPECT_EQ(splitcommandline(line), args) << line;
    }
}

TEST(CommandLine, ProgramsThatCannotRunSafelyAreRefused) {
    const struct {
        Args args;
        const char* line;
    } cases[] = {
        {{"C:\\tools\\n.exe"}, "C:\\tools\\n.exe"},
        {{"C:\\my tools\\n.exe", ""}, "\"C:\\my tools\\n.exe\" \"\""},
        {{"C:\\tools\\n.exe", "a\\"}, "C:\\tools\\n.exe a\\"},
        {{"C:\\dir\\", "x"}, "C:\\dir\\ x"},
        {{"C:\\tools\\batch.exe", "x"}, "C:\\tools\\batch.exe x"},
        {{"C:\\tools\\cmd", "x"}, "C:\\tools\\cmd x"},
        {{}, ""},
        {{"", "x"}, ""},
        {{"C:\\a\"b.exe", "x"}, ""},  // no quoting passes a quote in the program
        {{"C:\\tools\\notify.bat", "x"}, ""},  // batch files run through cmd.exe
        {{"C:\\my tools\\NOTIFY.CMD", "x"}, ""},
        {{"C:\\tools\\notify.bat. .", "x"}, ""},  // Windows drops trailing dots and spaces
        {{"C:\\tools\\n.exe", std::string("a\0b", 3)}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(commandline(c.args), c.line) << (c.args.empty() ? "no args" : c.args[0]);
    }
}

}  // namespace
