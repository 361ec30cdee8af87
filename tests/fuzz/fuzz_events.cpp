// The event's texts with hostile values: a command template and values of any bytes
// give arguments that the command line hands over unchanged; journal lines stay one line
// that a cut and its mend leave readable; times of any value format without overflow.
#include "fuzzstubs.h"
#include "events/commandline.h"
#include "events/eventtext.h"
#include <string>
#include <vector>

static size_t quotes(const std::string& s) {
    size_t n = 0;
    for (char c : s) n += c == '"';
    return n;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    Event e = {};
    e.kind = (in.get<uint8_t>() & 1) ? eventnewmachine : eventmacchanged;
    e.when = in.get<long long>();
    e.offsetminutes = in.get<int>();
    e.addr = in.get<Addr4>();
    in.take(e.oldmac, 6);
    in.take(e.newmac, 6);
    // The rest: template, name and maker, apart at the first two 0x01 bytes.
    std::string rest((const char*)in.p, in.left);
    std::string parts[3];
    for (int k = 0, at = 0; k < 3; k++) {
        size_t end = k < 2 ? rest.find('\x01', at) : std::string::npos;
        parts[k] = rest.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (end == std::string::npos) break;
        at = (int)end + 1;
    }
    const std::string& templ = parts[0];
    e.name = parts[1];
    e.maker = parts[2];

    // Values are never split again: as many arguments as the template has.
    std::vector<std::string> split = splitcommandline(templ);
    std::vector<std::string> args = commandargs(templ, e);
    FUZZCHECK(args.size() == split.size());
    if (!args.empty()) FUZZCHECK(args[0] == split[0]);
    std::string line = commandline(args);
    if (!line.empty()) FUZZCHECK(splitcommandline(line) == args);
    // Any bytes as the arguments themselves.
    std::vector<std::string> raw = {"C:\\p q\\n.exe", e.name, e.maker, templ};
    line = commandline(raw);
    FUZZCHECK(!line.empty() || e.name.find('\0') != std::string::npos ||
              e.maker.find('\0') != std::string::npos || templ.find('\0') != std::string::npos);
    if (!line.empty()) FUZZCHECK(splitcommandline(line) == raw);

    // Offsets below 100 hours keep the time's shape; others only must not overflow.
    std::string t = isotime(e.when, e.offsetminutes);
    if (e.offsetminutes > -6000 && e.offsetminutes < 6000)
        FUZZCHECK(t.size() >= 25 && t[t.size() - 15] == 'T' && t[t.size() - 3] == ':');

    // One line per event, quotes balanced; every cut of it mends to an even count of
    // quotes and a line end.
    std::string j = journalline(e);
    FUZZCHECK(j.size() >= 2 && j.find('\n') == j.size() - 1 && j[j.size() - 2] == '\r');
    FUZZCHECK(quotes(j) % 2 == 0);
    auto mends = [&](size_t cut) {
        std::string partial = j.substr(0, cut);
        std::string mended = partial + journalmend(partial);
        FUZZCHECK(quotes(mended) % 2 == 0 && mended.size() >= 2 &&
                  mended.compare(mended.size() - 2, 2, "\r\n") == 0);
    };
    for (size_t cut = 1; cut < j.size(); cut += j.size() / 64 + 1) mends(cut);
    mends(j.size() - 1);
    return 0;
}
