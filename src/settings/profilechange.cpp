// A change of the profile: the file as it was, the keys written, and how they are
// written. The system rewrites the whole file for every key it writes, so a write cut
// short leaves it empty or cut; the copy (".new" beside it) is what a cut write can
// damage, and it takes the file's place only once it is checked and on the disk.
#include "settings/profile.h"
#include "settings/profilecheck.h"
#include "settings/profilefile.h"
#include "settings/profilesystem.h"
#include "common/notices.h"
#include <stdio.h>

std::atomic<bool> profilefailuretold(false);

enum CopyWrite { copywritten, copyrefused, copyfailed };

// Writes the whole text into the copy: refused when the copy cannot be created at all.
static CopyWrite writecopy(const std::string& text) {
    HANDLE h = CreateFileA(profilecopy, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return copyrefused;
    bool ok = writeall(h, text);
    return CloseHandle(h) && ok ? copywritten : copyfailed;
}

ProfileChange::ProfileChange() : lock(profilelock()) {
    try {
        DWORD attrs = profileattributes(profilefile);
        if (attrs == INVALID_FILE_ATTRIBUTES) {
            // Only a file that is not there is no file. Any other failure (a network
            // share's brief error) would make the copy hold this change's keys alone,
            // and the rename would replace the user's file with it.
            DWORD e = GetLastError();
            if (e != ERROR_FILE_NOT_FOUND && e != ERROR_PATH_NOT_FOUND) {
                failed = true;
                return;
            }
        } else if ((attrs & FILE_ATTRIBUTE_READONLY) || !readwhole(profilefile, &before)) {
            // A read-only file takes no write, as the system's own write would find.
            failed = true;
            return;
        }
        switch (writecopy(before)) {
        case copywritten:
            break;
        case copyrefused:
            // A folder that takes no new file may still let the file itself be rewritten.
            direct = true;
            break;
        case copyfailed:
            failed = true;
            DeleteFileA(profilecopy);
            break;
        }
    } catch (...) {
        failed = true;
    }
}

ProfileChange::~ProfileChange() {
    if (ended) return;
    // Left by an exception of the caller: nothing is written, and it is told.
    try {
        finish(false, true);
    } catch (...) {
    }
}

void ProfileChange::put(const char* key, const char* text) {
    if (failed || ended) return;
    try {
        // Into the copy the keys go all at once, at the end of the change.
        if (direct && !WritePrivateProfileStringA(progname, key, text, profilefile)) {
            failed = true;
            return;
        }
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

// The copy becomes the file as it was with the changed keys set, is checked and flushed,
// then takes the file's place. Every other line of the user's (comments and blank lines
// in the section too) stays as it was, but in a file with a byte-order mark, which the
// system's own functions write.
bool ProfileChange::write() {
    std::string now;
    if (profilebom(before)) {
        if (!systemwrite(profilecopy, progname, keys, values)) return false;
    } else if (writecopy(profileeditor(before, progname, keys, values)) != copywritten) {
        return false;
    }
    return readwhole(profilecopy, &now) &&
           profilecomplete(before, now, progname, keys, values) && flushpath(profilecopy) &&
           replaceprofile(now, before);
}

bool ProfileChange::end(bool alwaystell) { return finish(alwaystell, false); }

bool ProfileChange::finish(bool alwaystell, bool abandoned) {
    if (ended) return false;
    bool ok = false;
    try {
        ok = !failed && !abandoned;
        if (ok && !direct && !keys.empty()) ok = write();  // no key, no change
    } catch (...) {
        ok = false;
    }
    ended = true;
    if (!direct) DeleteFileA(profilecopy);
    lock.unlock();
    // A save that cannot be made is told, and told again after a save has succeeded:
    // the program goes on, and a file that keeps refusing would otherwise lose every
    // later save unseen. The shutdown's save is told in any case.
    if (ok)
        profilefailuretold = false;
    else if (!profilefailuretold.exchange(true) || alwaystell)
        msgbox(captionfailure, "Cannot save the profile <%s>", profilefile);
    return ok;
}
