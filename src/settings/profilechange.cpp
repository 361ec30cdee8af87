// A change of the profile: its keys, handed to the writer as a whole.
#include "settings/profile.h"
#include "settings/profilewriter.h"
#include "common/notices.h"
#include "settings/profilefile.h"
#include <stdio.h>

// Told once, as the writer tells a refused save: a change that failed in memory.
static void tellfailed() {
    if (!profilefailuretold.exchange(true)) msgbox(captionfailure, "Cannot save the profile <%s>", profilefile);
}

ProfileChange::~ProfileChange() {
    if (ended) return;
    try {
        tellfailed();
    } catch (...) {
    }
}

void ProfileChange::put(const char* key, const char* text) {
    if (failed || ended) return;
    try {
        keys.push_back(key);
        values.push_back(text);
    } catch (...) {
        failed = true;
    }
}

void ProfileChange::putaddress(const char* key, const Addr4& addr) {
    char text[32];
    snprintf(text, sizeof text, "%d %d %d %d", addr.o[0], addr.o[1], addr.o[2], addr.o[3]);
    put(key, text);
}

bool ProfileChange::end() {
    if (ended) return false;
    ended = true;
    if (failed) {
        tellfailed();
        return false;
    }
    if (keys.empty()) return true;  // no key, no change
    try {
        unsigned long long gen = profilestore().merge(keys, values);
        startprofilewriter();
        return profilestore().wait(gen, profilewaitms) != saverefused;
    } catch (...) {
        tellfailed();
        return false;
    }
}

SaveOutcome profilesettle(int ms) { return profilestore().settle(ms); }
void profileretry() { profilestore().retry(); }
void profilediscard() { profilestore().discard(); }
