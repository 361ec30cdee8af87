// The check a rewritten profile copy passes before it replaces the file: any old text
// with the written key appended passes, and no copy cut before its end does; any old
// text with keys set by the program's own edit passes too.
#include "fuzzstubs.h"
#include "settings/profilecheck.h"
#include "settings/profileedit.h"
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string before((const char*)data, size);
    if (profilebom(before)) return 0;  // written through the system's functions
    std::vector<std::string> keys = {"SOFTWARE\\Hostwarden\\10.77.1.1"};
    std::vector<std::string> values = {"02 00 00 00 00 01 5 2 1700000000 1700000500"};
    std::string now = before + "\n[Hostwarden]\r\n" + keys[0] + "=" + values[0] + "\r\n";
    FUZZCHECK(profilecomplete(before, now, "Hostwarden", keys, values));
    size_t cut = size ? data[0] % (now.size() - before.size()) : 0;
    FUZZCHECK(!profilecomplete(before, now.substr(0, before.size() + cut), "Hostwarden", keys, values) ||
              before.find(keys[0] + "=" + values[0]) != std::string::npos);
    keys.push_back("SOFTWARE\\Hostwarden\\period");
    values.push_back("60");
    keys.push_back(keys[0]);  // an address of both ranges is saved twice; the last one holds
    values.push_back("02 00 00 00 00 02 1 0 1700000000 1700000000");
    std::string edited = profileedit(before, "Hostwarden", keys, values);
    FUZZCHECK(!edited.empty() && edited.back() == '\n');
    FUZZCHECK(profilecomplete(before, edited, "Hostwarden", keys, values));
    return 0;
}
