#include "events/events.h"
#include "common/notices.h"
#include "common/winutil.h"
#include "events/commandline.h"
#include "events/eventlog.h"
#include "events/eventtext.h"
#include "events/journal.h"
#include "events/runcommand.h"
#include "settings/profile.h"
#include <windows.h>
#include <process.h>
#include <string.h>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>

const char keyjournal[] = "SOFTWARE\\Hostwarden\\journal";
const char keycommand[] = "SOFTWARE\\Hostwarden\\command";
const char keyeventlog[] = "SOFTWARE\\Hostwarden\\eventlog";
bool journalon = true, eventlogon = true;
std::string eventcommand;
std::string (*eventmaker)(const unsigned char mac[6]) = nullptr;

// The offset of Windows' local time from UTC at `when`, by the time zone's rules for
// that date (daylight saving time included), in minutes.
static int systemoffset(long long when) {
    ULARGE_INTEGER u;
    u.QuadPart = (unsigned long long)when * 10000000ull + 116444736000000000ull;
    FILETIME ft = {u.LowPart, u.HighPart}, lf;
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&ft, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
        !SystemTimeToFileTime(&local, &lf))
        return 0;
    ULARGE_INTEGER l = {{lf.dwLowDateTime, lf.dwHighDateTime}};
    return (int)(((long long)l.QuadPart - (long long)u.QuadPart) / 600000000ll);
}
int (*eventoffset)(long long when) = systemoffset;

// The patrol thread's: the machines seen, whether this is the baseline, and the slots
// the patrol took (saved as it ends).
static KnownMachines known;
static bool baseline = false;
static std::vector<int> taken;

namespace {
struct Queue {
    std::mutex m;
    std::condition_variable more, idle;
    std::deque<Event> events;
    bool started = false, busy = false;
};
// Never destroyed: the events' thread may still run while the program's statics go.
Queue& queue() {
    static Queue* q = new Queue;
    return *q;
}
std::mutex telllock;
std::string toldtext;
}  // namespace

// What the events' thread has to tell goes to the main window, which shows it: this
// thread never waits on a box.
static void tell(const std::string& text) {
    {
        std::lock_guard<std::mutex> g(telllock);
        if (!toldtext.empty()) toldtext += "\n\n";
        toldtext += text;
    }
    if (mainwindow) PostMessageA(mainwindow, WM_EVENTNOTICE, 0, 0);
}

void eventsnotice() {
    std::string text;
    {
        std::lock_guard<std::mutex> g(telllock);
        text.swap(toldtext);
    }
    if (!text.empty()) msgbox(captionfailure, "%s", text.c_str());
}

static std::string errortext(unsigned long err) {
    SetLastError(err);
    char* t = syserrortext();
    std::string s(t);
    LocalFree(t);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}

static void commandnotstarted(const std::string& line, unsigned long err) {
    tell("Cannot start the command for events <" + line + ">: " + errortext(err));
}

// The lines not yet in the journal (another program holds it), at most this much; the
// events beyond are dropped and told.
static const size_t unwrittenmost = 1 << 20;

// The events' thread: the outlets of each event in order, and the journal's lines kept
// while it is held, tried again every 2 s.
static unsigned __stdcall eventthread(void*) {
    Queue& q = queue();
    std::string unwritten;
    DWORD heldsince = 0;
    bool heldtold = false, refusedtold = false, fulltold = false, logtold = false;
    std::set<std::string> refusedcommands;
    for (;;) {
        std::deque<Event> batch;
        {
            std::unique_lock<std::mutex> g(q.m);
            q.busy = false;
            q.idle.notify_all();
            if (unwritten.empty())
                q.more.wait(g, [&] { return !q.events.empty(); });
            else
                q.more.wait_for(g, std::chrono::seconds(2), [&] { return !q.events.empty(); });
            batch.swap(q.events);
            q.busy = true;
        }
        for (Event& e : batch) {
            if (eventmaker) e.maker = eventmaker(e.newmac);
            if (journalon) {
                if (unwritten.size() < unwrittenmost) {
                    unwritten += journalline(e);
                } else if (!fulltold) {
                    fulltold = true;
                    tell("The events' journal <" + journalpath() +
                         "> has not been written for a long while: later events are left out of it.");
                }
            }
            if (eventlogon && !eventlogwrite(e) && !logtold) {
                logtold = true;
                tell("Cannot write the events to the Windows event log: " + errortext(GetLastError()));
            }
            if (!eventcommand.empty()) {
                std::string line = commandline(commandargs(eventcommand, e));
                if (!line.empty())
                    runcommand(line);
                else if (refusedcommands.insert(eventcommand).second)
                    tell("The command for events <" + eventcommand +
                         "> cannot be run: it must name a program, without a quotation mark inside its "
                         "name, and not a batch file.");
            }
        }
        if (unwritten.empty()) continue;
        unsigned long err = 0;
        JournalResult r = journalappend(unwritten, &err);
        if (r == journalwritten) {
            unwritten.clear();
            heldsince = 0;
            heldtold = refusedtold = fulltold = false;
            continue;
        }
        if (!heldsince) heldsince = GetTickCount() | 1;
        if (r == journalheld && !heldtold && GetTickCount() - heldsince >= 10000) {
            heldtold = true;
            tell("The events' journal <" + journalpath() +
                 "> is held by another program (a spreadsheet that shows it?). The events are kept "
                 "and written when it lets go.");
        }
        if (r == journalrefused && !refusedtold) {
            refusedtold = true;
            tell("Cannot write the events' journal <" + journalpath() + ">: " + errortext(err) +
                 " The events are kept and written when it can be.");
        }
    }
}

static void post(Event&& e) {
    Queue& q = queue();
    std::lock_guard<std::mutex> g(q.m);
    q.events.push_back(std::move(e));
    if (!q.started) {
        uintptr_t h = _beginthreadex(nullptr, 0, eventthread, nullptr, 0, nullptr);
        if (!h) {
            q.events.clear();
            return;  // no thread: the events go nowhere, as if every outlet was off
        }
        CloseHandle((HANDLE)h);
        q.started = true;
    }
    q.more.notify_one();
}

void eventsinit() {
    char buf[profilebuf];
    journalon = !getprofile(keyjournal, buf) || strcmp(buf, "0") != 0;
    eventlogon = !getprofile(keyeventlog, buf) || strcmp(buf, "0") != 0;
    eventcommand = getprofile(keycommand, buf) ? buf : "";
    commandfailed = commandnotstarted;
    machinesload(&known, profilesection(machinesection));
    baseline = known.empty();
    taken.clear();
}

EventChoice eventsanswer(const Addr4& addr, const unsigned char oldmac[6],
                         const unsigned char newmac[6], const std::string& name, long long now) {
    bool seen = machineknown(known, newmac);
    EventChoice c = eventfor(baseline, oldmac, newmac, seen);
    if (!seen) taken.push_back(machineadd(&known, newmac, now));
    if (c == noevent || !(journalon || eventlogon || !eventcommand.empty())) return c;
    Event e;
    e.kind = c == macchange ? eventmacchanged : eventnewmachine;
    e.when = now;
    e.offsetminutes = eventoffset(now);
    e.addr = addr;
    memcpy(e.oldmac, oldmac, 6);
    memcpy(e.newmac, newmac, 6);
    e.name = name;
    post(std::move(e));
    return c;
}

void eventspatrolend(bool whole) {
    if (!taken.empty()) {
        ProfileChange change;
        for (int slot : taken)
            change.put(sectionkey(machinesection, std::to_string(slot).c_str()).c_str(),
                       machinetext(known.slots[slot - 1]).c_str());
        change.put(sectionkey(machinesection, "next").c_str(), std::to_string(known.next + 1).c_str());
        change.end();
        taken.clear();
    }
    if (whole) baseline = false;
}

bool eventssettle(int ms) {
    Queue& q = queue();
    std::unique_lock<std::mutex> g(q.m);
    return q.idle.wait_for(g, std::chrono::milliseconds(ms), [&] { return q.events.empty() && !q.busy; });
}

void eventsclose(int ms) {
    DWORD start = GetTickCount();
    eventssettle(ms);
    int left = ms - (int)(GetTickCount() - start);
    commandsshutdown(left > 0 ? left : 0);
    eventlogclose();
}
