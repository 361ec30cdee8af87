// The file choice with a remembered path, shared by the exports and the vendor lookup.
#include "reports/choosefile.h"
#include "reports/pathrules.h"
#include "common/winutil.h"
#include "settings/profile.h"
#include <string.h>

BOOL(WINAPI* openfiledialog)(OPENFILENAMEA* ofn) = GetOpenFileNameA;

static const char defext[] = "txt";

// A name typed without an extension gets the default one. Not every version of the
// dialog applies lpstrDefExt itself (Wine's open dialog returns the name as typed when
// no file of that name with the extension exists), so the choice is completed here. An
// existing file picked without an extension is kept as it is.
static void completeextension(char* path) {
    if (!lacksextension(path)) return;
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return;
    appendextension(path, defext);
}

bool choosefile(const char* key, const char* filter, const char* title, DWORD flags,
                char* path) {
    char remembered[profilebuf];
    if (!getprofile(key, remembered)) remembered[0] = 0;

    char file[pathbuf] = "";
    char dir[pathbuf] = "";
    char full[pathbuf];
    char* filepart = nullptr;
    DWORD n = remembered[0] ? GetFullPathNameA(remembered, pathbuf, full, &filepart) : 0;
    bool resolved = n > 0 && n < (DWORD)pathbuf;
    // A remembered path ending in a separator presets its folder and an empty name.
    if (resolved) splitpath(full, file, dir);

    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = mainwindow;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = pathbuf;
    ofn.lpstrInitialDir = resolved && dir[0] ? dir : nullptr;
    ofn.lpstrTitle = title;
    ofn.Flags = flags;
    ofn.lpstrDefExt = defext;
    // The dialog moves the working directory to the folders the user browses, and the
    // profile, the log files and relative paths all live in the working directory:
    // it is put back however the dialog ends.
    char workdir[pathbuf];
    DWORD kept = GetCurrentDirectoryA(pathbuf, workdir);
    BOOL chosen = openfiledialog(&ofn);
    if (kept > 0 && kept < (DWORD)pathbuf) SetCurrentDirectoryA(workdir);
    if (!chosen) return false;

    completeextension(file);
    // Remembered before anything opens it: a path that fails to open is offered again.
    putprofile(key, file);
    strcpy(path, file);
    return true;
}
