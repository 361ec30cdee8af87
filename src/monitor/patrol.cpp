// The patrol: probing every record on a worker thread, updating it and printing its line.
#include "monitor/patrol.h"
#include "common/clock.h"
#include "common/notices.h"
#include "common/winutil.h"
#include "events/events.h"
#include "monitor/hostline.h"
#include "monitor/hostlist.h"
#include "monitor/nameahead.h"
#include "monitor/recordmac.h"
#include "monitor/probe.h"
#include "monitor/records.h"
#include "textview/output.h"
#include <windows.h>
#include <process.h>
#include <stdio.h>
#include <mutex>
#include <string>

std::atomic<bool> warningshown(false);

// The change lines of the patrols that told the window thread about them, until it
// takes them: a patrol ending before the window took the last one's adds its own after.
static std::mutex newslock;
static std::vector<std::string> news;

std::vector<std::string> takechanges() {
    std::lock_guard<std::mutex> g(newslock);
    std::vector<std::string> taken;
    taken.swap(news);
    return taken;
}

// The program clock's time as the user's local time.
static SYSTEMTIME localnow() {
    ULARGE_INTEGER u;
    u.QuadPart = (unsigned long long)now64() * 10000000ull + 116444736000000000ull;
    FILETIME utc = {u.LowPart, u.HighPart}, local;
    SYSTEMTIME st;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    return st;
}

static void timetext(const SYSTEMTIME& st, char* buf, int n) {
    if (!GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, n)) buf[0] = 0;
}
static void datetext(const SYSTEMTIME& st, char* buf, int n) {
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, n)) buf[0] = 0;
}

static void summary(const char* format, int replies, int week) {
    twprintf(format, replies, replyending(replies));
    twprintf("%d repl%s in the last week", week, replyending(week));
}

static bool stopping() { return stoprequest || exitrequest; }

// Probes every record in order, printing its line and the subnet summaries; ends early
// when stopped; every MAC change line printed is added to `changes` (for a machine never
// seen before, a line that says so instead). Throws when the probes cannot run (threads or memory short).
static void proberecords(PatrolCounts& c, std::vector<std::string>& changes) {
    // Every address is submitted first, so that the probes run ahead of this loop, and
    // each answer starts the lookup of its name at once.
    NameRunRef names = namebegin();
    struct End {
        NameRunRef names;
        ~End() { nameend(*names); }
    } end = {names};
    probebegin([names](size_t index, const unsigned char mac[6]) { nameanswered(*names, index, mac); });
    for (HostRecord* r = hostlist; r; r = r->next) {
        nameexpect(*names, r->addr, r->mac);
        probesubmit(r->addr);
    }
    size_t index = 0;
    for (HostRecord* r = hostlist; r; r = r->next, index++) {
        if (stopping()) break;
        unsigned char mac[6];
        ProbeResult result = probetake(r->addr, mac, stopping);
        if (result == probecancelled) break;  // stopped while waiting: the record is untouched
        bool answered = result == probeanswered;
        std::string name = "NA";
        if (answered && hostname(*names, index, memcmp(mac, r->mac, 6) != 0, &name, stopping) ==
                            namestopped)
            break;  // the same
        long long now = now64();
        EventChoice event = answered ? eventsanswer(r->addr, r->mac, mac, name, now) : noevent;
        ProbeOutcome o = updaterecord(r, answered, mac, now);
        if (o.macchanged) {
            char change[48];
            snprintf(change, sizeof change, "MAC address changed for %d.%d.%d.%d", r->addr.o[0],
                     r->addr.o[1], r->addr.o[2], r->addr.o[3]);
            twprintf("%s", change);
            setmac(r, mac);
            // The notice names a machine never seen as such, in place of its change line.
            if (event == newmachine)
                snprintf(change, sizeof change, "New machine at %d.%d.%d.%d", r->addr.o[0], r->addr.o[1],
                         r->addr.o[2], r->addr.o[3]);
            changes.push_back(change);
        }
        char line[hostlinesize];
        formathostline(line, *r, r->mac, answered, name.c_str(), now);
        twprintf("%s", line);
        if (!countrecord(&c, answered, r->mac, r->lastreply, now, listappendafter)) {
            msgbox(captionerror, "error building records");
            break;
        }
        if (lastinsubnet(*r)) {
            summary("%d repl%s in subnet", c.subnetreplies, c.subnetweek);
            c.subnetreplies = c.subnetweek = 0;
        }
    }
}

void (*patrolendhook)() = nullptr;

// The patrol's flags let go: its Stop first, then the patrol itself. Once `patrolling` is
// clear a new patrol may start at once, and a Stop given to it must not be undone here.
// A Stop given between the two stores belongs to this patrol: the next patrol clears it
// as it is claimed.
static void endpatrol() {
    stoprequest = false;
    if (patrolendhook) patrolendhook();
    patrolling = false;
}

// A patrol claimed, on the window thread, where every Stop is given: a Stop still set
// was given to a patrol that has ended.
static bool claimpatrol() {
    if (patrolling.exchange(true)) return false;
    stoprequest = false;
    return true;
}

// One patrol; the caller holds `patrolling`. A failure of the probes is told and ends
// the patrol as a stop does: its closing lines and the save follow.
static void runpatrol() {
    SYSTEMTIME st = localnow();
    char start[260], date[260];
    timetext(st, start, sizeof start);
    datetext(st, date, sizeof date);
    size_t len = strlen(start);
    snprintf(start + len, sizeof start - len, " %s", date);
    twprintf("%s", start);

    PatrolCounts c = {};
    std::vector<std::string> changes;
    std::string failure;
    try {
        proberecords(c, changes);
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "unknown failure";
    }
    probeend();
    if (!failure.empty()) msgbox(captionerror, "Patrol stopped: %s", failure.c_str());
    summary("%d total repl%s", c.totalreplies, c.totalweek);
    saverecords();
    eventspatrolend(failure.empty() && !stopping());
    listdiscard((void**)&c.macs);
    // The window thread decides whether to ask for the user's attention and takes the
    // lines; this thread never waits for it, since a closing window waits for this thread.
    if (!changes.empty() && !exitrequest) {
        {
            std::lock_guard<std::mutex> g(newslock);
            news.insert(news.end(), changes.begin(), changes.end());
        }
        PostMessageA(mainwindow, WM_MACCHANGED, 0, 0);
    }
    endpatrol();
}

// The edge of the patrol thread: nothing may leave it, or the whole program would end
// without a word or a save.
static void guardedpatrol() {
    try {
        runpatrol();
        return;
    } catch (const std::exception& e) {
        msgbox(captionerror, "Patrol failed: %s", e.what());
    } catch (...) {
        msgbox(captionerror, "Patrol failed");
    }
    endpatrol();
}

void patrolthread() {
    if (!claimpatrol()) return;
    guardedpatrol();
}

static unsigned __stdcall patrolentry(void*) {
    guardedpatrol();
    return 0;
}

void startpatrol() {
    if (patrolling) {
        if (suspended) {
            suspended = false;
            return;
        }
        if (warningshown) return;
        warningshown = true;
        SYSTEMTIME st = localnow();
        char t[260], d[260];
        timetext(st, t, sizeof t);
        datetext(st, d, sizeof d);
        msgbox(captionfailure, "Already patrolling at %s %s!", t, d);
        warningshown = false;
        return;
    }
    if (!hostlist) {
        twprintf("No configuration, use the File / Configuration dialog.");
        return;
    }
    // The flag is claimed here rather than by the new thread, so that a shutdown that
    // follows at once waits for this patrol instead of discarding the list under it.
    if (!claimpatrol()) return;
    uintptr_t h = _beginthreadex(nullptr, 4096, patrolentry, nullptr, 0, nullptr);
    if (!h) {
        patrolling = false;
        msgbox(captionerror, "Could not create patrol thread");
        return;
    }
    CloseHandle((HANDLE)h);
}
