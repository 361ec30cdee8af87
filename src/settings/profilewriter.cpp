// The writer thread: takes what is pending, writes it whole, and on a held file waits
// and tries again, so that no caller waits on another program. What it has to say goes
// to the main window, which shows it as any notice, so that a box never stops the writer.
#include "settings/profilewriter.h"
#include "settings/profile.h"
#include "settings/profilefile.h"
#include "common/notices.h"
#include "common/state.h"
#include "common/winutil.h"
#include <process.h>
#include <stdio.h>
#include <string.h>

int profilewaitms = 100;
int profileheldtellms = 10000;
std::atomic<bool> profilefailuretold(false);
std::atomic<bool> profileclosing(false);

ProfileStore& profilestore() {
    static ProfileStore* s = new ProfileStore;  // never destroyed: the writer outlives main
    return *s;
}

// The last write that did not land: why, for the close's question.
static std::atomic<int> lastresult(writelanded);
static std::atomic<unsigned long> lasterror(0);

static std::string folderof(const char* path) {
    std::string f(path);
    size_t slash = f.find_last_of('\\');
    f = slash == std::string::npos ? std::string(".") : f.substr(0, slash);
    if (f.size() == 2 && f[1] == ':') f += '\\';  // a drive's root
    return f;
}

static std::string whyrefused(int r, unsigned long e) {
    char text[1024];
    switch (r) {
    case writereadonly:
        return "it is read-only";
    case writefolder:
        snprintf(text, sizeof text, "the folder <%s> does not take new files", folderof(profilefile).c_str());
        return text;
    case writefull:
        return "the disk is full";
    case writebigendian:
        return "it is in UTF-16 big-endian, which Windows cannot read";
    default:
        snprintf(text, sizeof text, "error %lu", e);
        return text;
    }
}

static const char holders[] = "another program holds it open (a virus scanner, a backup or sync client, or an editor)";

std::string profileleft(SaveOutcome outcome) {
    char text[1024];
    if (outcome == saverefused)
        snprintf(text, sizeof text,
                 "Cannot save the profile <%s>: %s.\n\nThe latest records and settings are not saved. "
                 "Retry tries again; Cancel closes without them.",
                 profilefile, whyrefused(lastresult, lasterror).c_str());
    else
        snprintf(text, sizeof text,
                 "The profile <%s> is not saved yet: %s.\n\nRetry waits for it again; Cancel closes "
                 "without the latest records and settings.",
                 profilefile, holders);
    return text;
}

static std::mutex telllock;
static std::string toldtext;

static void tell(const std::string& text) {
    if (profileclosing) return;  // the close tells what is left, once
    HWND w = mainwindow;
    if (!noticehook && w && IsWindow(w)) {
        {
            std::lock_guard<std::mutex> g(telllock);
            toldtext = text;
        }
        PostMessageA(w, WM_PROFILENOTICE, 0, 0);
        return;
    }
    msgbox(captionfailure, "%s", text.c_str());
}

void profilenotice() {
    std::string text;
    {
        std::lock_guard<std::mutex> g(telllock);
        text.swap(toldtext);
    }
    if (!text.empty()) msgbox(captionfailure, "%s", text.c_str());
}

// The pause before trying a held file again grows to a second.
static int backoff(int held) {
    static const int ms[] = {50, 100, 200, 400, 700, 1000};
    return held <= 0 ? 0 : ms[held - 1 < 5 ? held - 1 : 5];
}

static unsigned __stdcall writer(void*) {
    ProfileStore& store = profilestore();
    int held = 0;
    DWORD heldsince = 0;
    bool heldtold = false;
    for (;;) {
        ProfileSnapshot s;
        store.take(&s, backoff(held));
        WriteResult r = writefailed;
        DWORD e = 0;
        try {
            // A file that changed or appeared meanwhile is read again and changed again.
            for (int again = 0; (r = writeprofile(s.keys, s.values, &e)) == writeagain && again < 20; again++) {
            }
            if (r == writeagain) r = writeheld;
        } catch (...) {
            r = writefailed;
            e = ERROR_NOT_ENOUGH_MEMORY;
        }
        SaveOutcome o = r == writelanded ? savelanded : r == writeheld ? saveheld : saverefused;
        if (o != savelanded) {
            lastresult = r;
            lasterror = e;
        }
        if (o == savelanded) {
            held = 0;
            heldsince = 0;
            heldtold = false;
            profilefailuretold = false;
            profilesweep();
        } else if (o == saveheld) {
            held++;
            if (!heldsince) heldsince = GetTickCount() | 1;
            int waited = (int)(GetTickCount() - heldsince);
            if (!heldtold && waited >= profileheldtellms) {
                heldtold = true;
                char text[1024];
                snprintf(text, sizeof text,
                         "The profile <%s> has not been saved for %d seconds: %s. Hostwarden keeps the "
                         "changes and saves them as soon as the file is free.",
                         profilefile, (waited + 500) / 1000, holders);
                tell(text);
            }
        } else {
            held = 0;
            heldsince = 0;
            // Told once, and again only after a save has landed in between.
            if (!profilefailuretold.exchange(true))
                tell("Cannot save the profile <" + std::string(profilefile) + ">: " + whyrefused(r, e));
        }
        store.finish(s, o);
    }
    return 0;
}

void startprofilewriter() {
    static std::once_flag once;
    std::call_once(once, [] {
        uintptr_t h = _beginthreadex(nullptr, 256 * 1024, writer, nullptr,
                                     STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (h) CloseHandle((HANDLE)h);
    });
}
