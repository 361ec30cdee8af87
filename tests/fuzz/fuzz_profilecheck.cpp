// The check the edited profile passes before it is written: any old text with the
// written key appended passes, and no text cut before its end does; any old text with
// keys set by the program's own edit passes too, and any bytes in UTF-16 survive the
// round trip through the editor's UTF-8.
#include "fuzzstubs.h"
#include "settings/profilecheck.h"
#include "settings/profilecoding.h"
#include "settings/profileedit.h"
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string before((const char*)data, size);
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
    std::string le = "\xFF\xFE" + before.substr(0, before.size() & ~(size_t)1);
    FUZZCHECK(profileencode(profiledecode(le, codingutf16le), codingutf16le) == le);
    return 0;
}
