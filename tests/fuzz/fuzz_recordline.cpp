// Record lines of the profile: any text either converts in full or leaves the record
// untouched, and what converts, written back and read again, gives the same record;
// every record written reads back as itself.
#include "fuzzstubs.h"
#include "monitor/recordline.h"
#include <string>

static bool samefields(const HostRecord& a, const HostRecord& b) {
    return !memcmp(a.mac, b.mac, 6) && a.replies == b.replies && a.misses == b.misses &&
           a.firstseen == b.firstseen && a.lastreply == b.lastreply;
}

static void roundtrip(const HostRecord& r) {
    char line[recordlinesize];
    int n = snprintf(nullptr, 0, "%02x %02x %02x %02x %02x %02x %d %d %lld %lld", r.mac[0],
                     r.mac[1], r.mac[2], r.mac[3], r.mac[4], r.mac[5], r.replies, r.misses,
                     r.firstseen, r.lastreply);
    FUZZCHECK(n < recordlinesize);  // the buffer always holds the whole line
    formatrecordline(line, sizeof line, r);
    FUZZCHECK((int)strlen(line) == n);
    HostRecord back = {};
    FUZZCHECK(parserecordline(line, &back));
    FUZZCHECK(samefields(back, r));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    HostRecord r = takerecord(in);
    roundtrip(r);

    char key[recordkeysize];
    formatrecordkey(key, sizeof key, r.addr);
    FUZZCHECK(!strncmp(key, "SOFTWARE\\Hostwarden\\", 20) && strlen(key) <= 35);

    // The whole input as a profile value (a read delivers at most 259 characters).
    std::string text((const char*)data, size < 259 ? size : 259);
    HostRecord got = r;
    if (parserecordline(text.c_str(), &got))
        roundtrip(got);
    else
        FUZZCHECK(samefields(got, r));
    return 0;
}
