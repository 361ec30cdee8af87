// The window-free helpers of hwtest.h, built natively too.
#include <string.h>
#include "hwtest.h"

namespace hwtest {

HostRecord record(int o3, const unsigned char mac[6], int replies, int misses, long long firstseen,
                  long long lastreply) {
    HostRecord r = {};
    r.addr = {{192, 168, 1, (unsigned char)o3}};
    memcpy(r.mac, mac, 6);
    r.replies = replies;
    r.misses = misses;
    r.firstseen = firstseen;
    r.lastreply = lastreply;
    return r;
}

}  // namespace hwtest
