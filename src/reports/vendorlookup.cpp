// The Lookup Companies command: choose the OUI file, then look every MAC up in it.
#include "reports/vendorlookup.h"
#include "reports/choosefile.h"
#include "reports/ouitable.h"
#include "settings/profile.h"

static const char ouifilter[] = "OUI Text Files\0*.txt\0All Files\0*.*\0";

void companylookup() {
    char path[MAX_PATH];
    if (!choosefile(keylookup, ouifilter, "Select OUI File",
                    OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, path))
        return;
    listcompanies(path);
}
