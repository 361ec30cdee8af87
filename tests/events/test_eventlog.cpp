// The event log outlet. The calls themselves are seen in Wine's trace by eventlog.sh,
// which runs EventLog.WritesEachKindOnce under WINEDEBUG's eventlog channel.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "events/eventlog.h"

// The message table linked into the exe: each documented id, with the level in its top
// bits as Event Viewer reads it, finds its text, and the six inserts land in their places.
TEST(EventLog, MessagesOfTheTableShowTheirInserts) {
    struct Row {
        DWORD id;
        const char* text;
    } rows[] = {
        {0x800003E8,  // 1000, Warning
         "MAC changed at 10.77.0.5.\r\n\r\nAddress: 10.77.0.5\r\nOld MAC: 00:1a:2b:3c:4d:5e\r\n"
         "New MAC: 02:00:5e:10:00:01\r\nName: printer-2\r\nMaker: Acme\r\nTime: 2024-05-01T14:03:09+02:00"},
        {0x400003E9,  // 1001, Informational
         "New machine at 10.77.0.5.\r\n\r\nAddress: 10.77.0.5\r\nOld MAC: 00:1a:2b:3c:4d:5e\r\n"
         "New MAC: 02:00:5e:10:00:01\r\nName: printer-2\r\nMaker: Acme\r\nTime: 2024-05-01T14:03:09+02:00"},
    };
    const char* inserts[6] = {"10.77.0.5", "00:1a:2b:3c:4d:5e", "02:00:5e:10:00:01",
                              "printer-2", "Acme", "2024-05-01T14:03:09+02:00"};
    for (const Row& r : rows) {
        char text[1024] = "";
        DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                 GetModuleHandleA(nullptr), r.id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                 text, sizeof text, (va_list*)inserts);
        EXPECT_NE(0u, n) << std::hex << r.id;
        std::string s(text);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
        EXPECT_EQ(r.text, s) << std::hex << r.id;
    }
}

// eventlog.sh expects exactly these inserts in the trace, the source registered once.
TEST(EventLog, WritesEachKindOnce) {
    Event changed = {eventmacchanged, 1714564989, 120, {{10, 77, 0, 5}}, {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e},
                     {0x02, 0x00, 0x5e, 0x10, 0x00, 0x01}, "printer-2", "Acme & \"Sons\""};
    Event fresh = {eventnewmachine, 1714564989, -330, {{10, 77, 0, 9}}, {0}, {0x02, 0x00, 0x5e, 0x10, 0x00, 0x02},
                   "NA", ""};
    EXPECT_TRUE(eventlogwrite(changed));
    EXPECT_TRUE(eventlogwrite(fresh));
    eventlogclose();
}
