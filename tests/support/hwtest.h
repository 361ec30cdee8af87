// Helpers shared by the in-process tests.
#pragma once
#include <string>
#include <vector>
#include "monitor/hostlist.h"

namespace hwtest {

struct Notice {
    std::string caption, text;
    unsigned style;
};

// Captures every msgbox while alive.
class Notices {
public:
    Notices();
    ~Notices();
    const std::vector<Notice>& all() const;
    size_t size() const { return all().size(); }
    const Notice& operator[](size_t i) const { return all()[i]; }
    void clear();
};

// Sets the program's clock while alive.
class FixedClock {
public:
    explicit FixedClock(long long now);
    ~FixedClock();
    void set(long long now);
};

// In-process tests get private registry roots; the end-to-end tests, which read what the
// real program wrote, turn this off.
extern bool privateregistry;

// Removes SOFTWARE\Hostwarden under both roots.
void clearregistry();
// The record of 192.168.1.o3 with these fields.
HostRecord record(int o3, const unsigned char mac[6], int replies, int misses, long long firstseen,
                  long long lastreply);
// The current directory.
std::string cwd();
// A key of the program's profile as the program reads it, "<absent>" when it reads
// nothing.
std::string profilevalue(const std::string& key);
// The profile holding the section line and `lines`.
void writeini(const std::string& lines);
// The whole content of a file, or "" when it cannot be read.
std::string readfile(const char* path);
void writefile(const char* path, const std::string& content);
// Lines of the output view, oldest first (takes the view's lock).
std::vector<std::string> viewlines();
// Creates the real main window in-process (class registered once), as the entry does,
// and shows it; the creation sequence runs inside. Null when creation failed.
void* makemainwindow();
// Closes it as the user does (WM_CLOSE, then the WM_DESTROY that follows).
void closemainwindow();
// Dispatches pending messages of the calling thread for about `ms` milliseconds.
void pump(int ms = 0);

}  // namespace hwtest
