// Shared by the reliability tests: hostile values, profile files, and a patrol that
// never leaves the process (probes and reverse lookups answered here).
#pragma once
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <string>
#include <vector>
#include "hwtest.h"
#include "monitor/hostlist.h"
#include "monitor/recordline.h"
#include "settings/profile.h"

namespace rel {

struct Hostile {
    const char* name;
    std::string value;
};

// Bytes 0x01-0x1f and 0x7f-0xff, as a hand-edited or damaged file can hold them.
inline std::string binarybytes() {
    std::string s;
    for (int c = 1; c < 0x20; c++) s += (char)c;
    for (int c = 0x7f; c < 0x100; c++) s += (char)c;
    return s;
}

inline std::string recordkey(int o0, int o1, int o2, int o3) {
    char key[recordkeysize];
    Addr4 a = {{(unsigned char)o0, (unsigned char)o1, (unsigned char)o2, (unsigned char)o3}};
    formatrecordkey(key, sizeof key, a);
    return key;
}

inline HostRecord* findrecord(int last) {
    for (HostRecord* r = hostlist; r; r = r->next)
        if (r->addr.o[3] == last) return r;
    return nullptr;
}

// Waits (dispatching messages) until no patrol runs.
void waitpatrol(int ms = 10000);

// While alive: every probe answers (or not) with a fixed MAC, and every reverse lookup
// gives `name`.
class FakeNetwork {
public:
    explicit FakeNetwork(bool answer, const std::string& name = "host.lab");
    ~FakeNetwork();
    void setname(const std::string& name);
};

}  // namespace rel
