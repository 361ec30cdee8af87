// The disk side of the profile: reading it whole, flushing a copy, and putting a copy
// in the file's place, by a rename or, when another program holds the file, in place.
#include "settings/profilefile.h"
#include "settings/profileedit.h"

char profilefile[MAX_PATH] = ".\\Hostwarden.INI";
char profilecopy[MAX_PATH + 4] = ".\\Hostwarden.INI.new";

DWORD(WINAPI* profileattributes)(LPCSTR) = GetFileAttributesA;
BOOL(WINAPI* profileflush)(HANDLE) = FlushFileBuffers;
int profilereplacems = 1000;
std::string (*profileeditor)(const std::string&, const char*, const std::vector<std::string>&,
                             const std::vector<std::string>&) = profileedit;

std::recursive_mutex& profilelock() {
    static std::recursive_mutex m;
    return m;
}

const DWORD shareall = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

static bool readhandle(HANDLE h, std::string* out) {
    out->clear();
    char buf[16384];
    DWORD n;
    bool ok;
    while ((ok = ReadFile(h, buf, sizeof buf, &n, nullptr) != 0) && n) out->append(buf, n);
    return ok;
}

bool readwhole(const char* path, std::string* out) {
    HANDLE h = CreateFileA(path, GENERIC_READ, shareall, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = readhandle(h, out);
    CloseHandle(h);
    return ok;
}

bool flushpath(const char* path) {
    HANDLE h = CreateFileA(path, GENERIC_WRITE, shareall, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = profileflush(h) != 0;
    return CloseHandle(h) && ok;
}

static bool setsize(HANDLE h, size_t size) {
    LARGE_INTEGER at;
    at.QuadPart = (LONGLONG)size;
    return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h);
}

bool writeall(HANDLE h, const std::string& text) {
    DWORD n = 0;
    return text.empty() ||
           (WriteFile(h, text.data(), (DWORD)text.size(), &n, nullptr) && n == text.size());
}

static bool writeat0(HANDLE h, const std::string& text) {
    LARGE_INTEGER zero = {};
    return SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) && writeall(h, text);
}

// The file rewritten through a handle that shares everything with the program holding
// it. The room for a longer text is taken first, so a full disk fails before a byte
// changes; a write that fails midway puts the old text back.
static bool rewriteinplace(const std::string& text, const std::string& before) {
    HANDLE h = CreateFileA(profilefile, GENERIC_READ | GENERIC_WRITE, shareall, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::string now;
    bool ok = readhandle(h, &now) && now == before;  // not changed by the other program
    if (ok && text.size() > before.size()) ok = setsize(h, text.size());
    if (ok) {
        ok = writeat0(h, text) && setsize(h, text.size()) && profileflush(h);
        if (!ok && writeat0(h, before)) setsize(h, before.size());
    }
    CloseHandle(h);
    return ok;
}

bool replaceprofile(const std::string& text, const std::string& before) {
    DWORD start = GetTickCount();
    for (;;) {
        if (MoveFileExA(profilecopy, profilefile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD e = GetLastError();
        if (e != ERROR_ACCESS_DENIED && e != ERROR_SHARING_VIOLATION && e != ERROR_LOCK_VIOLATION)
            return false;
        if ((int)(GetTickCount() - start) >= profilereplacems) break;
        Sleep(50);
    }
    // Only a file that is there can be held; a missing one was never in the way.
    return GetFileAttributesA(profilefile) != INVALID_FILE_ATTRIBUTES &&
           rewriteinplace(text, before);
}
