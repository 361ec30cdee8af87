#include "events/journal.h"
#include "common/state.h"
#include "events/eventtext.h"
#include <windows.h>
#include <stdio.h>

const char journalname[] = "HostwardenEvents.csv";

std::string journalpath() { return std::string(startfolder) + journalname; }

// Whether this run has looked at the file's end yet: a killed run's partial line is
// mended once, before the first line of this run.
static bool looked = false;

// What the file's end needs before new lines: the header for an empty file, the mend of
// a partial last line otherwise.
static bool lead(HANDLE h, std::string* out) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size)) return false;
    if (size.QuadPart == 0) {
        *out = journalheader;
        return true;
    }
    // The last line is read back from at most 64 KiB before the end; a longer one is
    // taken as unquoted, and only gets its line end.
    LONGLONG from = size.QuadPart > 65536 ? size.QuadPart - 65536 : 0;
    std::string tail((size_t)(size.QuadPart - from), '\0');
    OVERLAPPED o = {};
    o.Offset = (DWORD)from;
    o.OffsetHigh = (DWORD)(from >> 32);
    DWORD got = 0;
    if (!ReadFile(h, &tail[0], (DWORD)tail.size(), &got, &o)) return false;
    tail.resize(got);
    size_t lf = tail.rfind('\n');
    if (lf != std::string::npos)
        *out = journalmend(tail.substr(lf + 1));
    else
        *out = from ? "\r\n" : journalmend(tail);
    return true;
}

JournalResult journalappend(const std::string& lines, unsigned long* err) {
    *err = 0;
    std::string path = journalpath();
    // Others may read, write and rename it meanwhile; appending data only, each write
    // goes to the end whatever another writer did.
    HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD e = *err = GetLastError();
        return e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION ? journalheld : journalrefused;
    }
    std::string text;
    if (!looked || GetFileSize(h, nullptr) == 0) {
        if (!lead(h, &text)) {
            *err = GetLastError();
            CloseHandle(h);
            return journalrefused;
        }
    }
    text += lines;
    DWORD wrote = 0;
    bool ok = WriteFile(h, text.data(), (DWORD)text.size(), &wrote, nullptr) && wrote == text.size() &&
              FlushFileBuffers(h);
    if (!ok) *err = GetLastError();
    CloseHandle(h);
    if (!ok) return journalrefused;
    looked = true;
    return journalwritten;
}
