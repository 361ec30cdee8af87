// Building the HostList from the ranges and the profile, saving it back, and resetting it.
#include "monitor/records.h"
#include "monitor/hostlist.h"
#include "monitor/recordline.h"
#include "common/clock.h"
#include "common/winutil.h"
#include "common/notices.h"
#include "common/state.h"
#include "dialogs/busy.h"
#include "settings/profile.h"
#include "textview/output.h"

// Addresses a range adds: none when inactive or when its high last octet is below the low.
static int rangesize(const Addr4& low, const Addr4& high) {
    if (addrzero(low) || high.o[3] < low.o[3]) return 0;
    return high.o[3] - low.o[3] + 1;
}

// Appends the record for addr behind `last`, restored from its profile line when that
// converts in full. Null after the messages when it cannot be allocated.
static HostRecord* buildrecord(HostRecord* last, const Addr4& addr) {
    HostRecord* r = (HostRecord*)listappendafter(hostlisthead(), last, sizeof(HostRecord));
    if (!r) {
        msgbox(captionerror, "error building records");
        return nullptr;
    }
    r->addr = addr;
    r->firstseen = now64();
    char key[recordkeysize], value[profilebuf];
    formatrecordkey(key, sizeof key, addr);
    if (getprofile(key, value)) parserecordline(value, r);
    return r;
}

// Builds the records of one range; false when one cannot be built.
static bool buildrange(const Addr4& low, const Addr4& high, HostRecord** last, int* done,
                       int total, HWND busy) {
    if (rangesize(low, high) == 0) return true;
    Addr4 a = low;
    for (int octet = low.o[3]; octet <= high.o[3]; octet++) {
        a.o[3] = (unsigned char)octet;
        HostRecord* r = buildrecord(*last, a);
        if (!r) return false;
        *last = r;
        ++*done;
        setbusypercent(busy, *done * 100 / total);
    }
    return true;
}

bool loadrecords() {
    HWND busy = busymessage(mainwindow, "Loading records...");
    listdiscard(hostlisthead());
    int total = rangesize(lowhost, highhost) + rangesize(lowhost2, highhost2);
    HostRecord* last = nullptr;
    int done = 0;
    bool ok = buildrange(lowhost, highhost, &last, &done, total, busy) &&
              buildrange(lowhost2, highhost2, &last, &done, total, busy);
    DestroyWindow(busy);
    return ok;
}

// No indicator while closing or minimised, nor for an empty list: nothing to show, and
// at shutdown the main window may already be on its way out.
static bool showsaving(int total) {
    if (exitrequest || total == 0) return false;
    return !(GetWindowLongA(mainwindow, GWL_STYLE) & WS_MINIMIZE);
}

void saverecords() {
    // The percentage counts the list itself: the ranges may have changed since it was built.
    int total = 0;
    for (HostRecord* r = hostlist; r; r = r->next) total++;
    bool shown = showsaving(total);
    HWND busy = shown ? busymessage(mainwindow, "Saving records...") : nullptr;
    int done = 0;
    // One change of the profile: a save cut short leaves every line as it was before.
    ProfileChange change;
    for (HostRecord* r = hostlist; r; r = r->next) {
        char key[recordkeysize], value[recordlinesize];
        formatrecordkey(key, sizeof key, r->addr);
        formatrecordline(value, sizeof value, *r);
        change.put(key, value);
        ++done;
        if (shown) setbusypercent(busy, done * 100 / total);
    }
    change.end();
    if (shown) DestroyWindow(busy);
}

void resetrecords() {
    clearoutput();
    long long now = now64();
    for (HostRecord* r = hostlist; r; r = r->next) {
        for (int i = 0; i < 6; i++) r->mac[i] = 0;
        r->replies = 0;
        r->misses = 0;
        r->firstseen = now;
    }
}
