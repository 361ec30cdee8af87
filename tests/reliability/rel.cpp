// The fake network of the reliability tests.
#include "rel.h"
#include "common/state.h"
#include "monitor/namecache.h"
#include "monitor/probe.h"
#include <string.h>

namespace rel {

namespace {
bool answers = false;
std::string fakename;

bool fakeprobe(const Addr4&, unsigned char mac[6]) {
    static const unsigned char fixed[6] = {0x02, 0x00, 0x5e, 0x10, 0x20, 0x30};
    if (!answers) return false;
    memcpy(mac, fixed, 6);
    return true;
}

bool fakelookup(const Addr4&, char* name, size_t size) {
    snprintf(name, size, "%s", fakename.c_str());
    return true;
}
}  // namespace

void waitpatrol(int ms) {
    for (int waited = 0; patrolling && waited < ms; waited += 20) hwtest::pump(20);
}

FakeNetwork::FakeNetwork(bool answer, const std::string& name) {
    answers = answer;
    fakename = name;
    probehook = fakeprobe;
    reverselookup = fakelookup;
}
FakeNetwork::~FakeNetwork() {
    probehook = nullptr;
    reverselookup = resolvename;
}
void FakeNetwork::setname(const std::string& name) { fakename = name; }

}  // namespace rel
