// Values a host name or maker may hold, each with the command line that hands it to the
// program as one argument; shared by the split of the C runtime's rules and, under Wine,
// by the system's own.
#pragma once

struct CommandRow {
    const char* value;
    const char* quoted;  // how commandline writes it
};

const CommandRow commandrows[] = {
    {"plain", "plain"},
    {"", "\"\""},
    {"two  spaces", "\"two  spaces\""},
    {"a\"b", "\"a\\\"b\""},
    {"\"", "\"\\\"\""},
    {"C:\\dir\\", "C:\\dir\\"},               // no quotes needed: the backslash stays single
    {"C:\\my dir\\", "\"C:\\my dir\\\\\""},    // before the closing quote it is doubled
    {"\\\\server\\share", "\\\\server\\share"},
    {"\\\"", "\"\\\\\\\"\""},                  // a backslash and a quote: 3 backslashes, quote
    {"a\\\\\"b", "\"a\\\\\\\\\\\"b\""},        // two backslashes and a quote: 5 and a quote
    {"a\\\\ b\\", "\"a\\\\ b\\\\\""},          // backslashes before a space stay as they are
    {"x & del y", "\"x & del y\""},
    {"^|<>&", "^|<>&"},                        // plain characters without a shell
    {"%address%", "%address%"},                // a value is never expanded again
    {"100%", "100%"},
    {"line\r\nend", "\"line\r\nend\""},
    {"tab\there", "\"tab\there\""},
    {"\xc3\xa9t\xc3\xa9 \xe2\x82\xac", "\"\xc3\xa9t\xc3\xa9 \xe2\x82\xac\""},
    {"\"\" \\\"\" x", "\"\\\"\\\" \\\\\\\"\\\" x\""},
};
