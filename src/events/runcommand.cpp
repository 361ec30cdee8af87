#include "events/runcommand.h"
#include <windows.h>
#include <process.h>
#include <deque>
#include <mutex>
#include <set>
#include <vector>

void (*commandfailed)(const std::string& cmdline, unsigned long error) = nullptr;
int commandlimit = 4;
int commandqueuelimit = 256;

// One thread starts the lines and notices the ends: it waits on the handles of the
// commands alive and on `wake` (a new line, or the close) together, so an end is seen
// when it happens, without polling. It lives while anything waits or runs, and ends
// when nothing does (`running` false, `idle` set); the next line starts another.
static std::mutex lock;
static std::deque<std::string> waiting;
static std::set<std::string> told;  // programs whose failure was told, and none started since
static unsigned long dropped = 0;
static bool running = false, closing = false;
static HANDLE thread = nullptr;
static HANDLE wake = nullptr;  // auto-reset
static HANDLE idle = nullptr;  // manual-reset: set while no thread runs

// The program of a line, as CreateProcess reads its first word: up to the closing quote
// when it starts with one, else up to the first blank.
static std::string programof(const std::string& line) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos) return "";
    if (line[i] == '"') {
        size_t e = line.find('"', i + 1);
        return line.substr(i + 1, e == std::string::npos ? e : e - i - 1);
    }
    return line.substr(i, line.find_first_of(" \t", i) - i);
}

// Starts one line. No shell: the line goes to CreateProcess as it is, so no value in it
// can be taken as an operator or a variable. No window: a console program gets a console
// of its own that is never shown. Its standard handles are the NUL device (a read ends
// at once, where a hidden console's stdin would wait for ever), and that handle is the
// only one it inherits (PROC_THREAD_ATTRIBUTE_HANDLE_LIST): none of ours leak into it.
// Without the list, it inherits nothing and keeps the console's own handles.
static bool start(const std::string& line, HANDLE* process, DWORD* error) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &sa, OPEN_EXISTING, 0, nullptr);
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attrs(size ? size : 1);
    LPPROC_THREAD_ATTRIBUTE_LIST list = (LPPROC_THREAD_ATTRIBUTE_LIST)attrs.data();
    bool listed = nul != INVALID_HANDLE_VALUE && size && InitializeProcThreadAttributeList(list, 1, 0, &size);
    bool inherit = listed && UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &nul,
                                                       sizeof nul, nullptr, nullptr);
    STARTUPINFOEXA si = {};
    si.StartupInfo.cb = sizeof si;
    if (inherit) {
        si.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
        si.StartupInfo.hStdInput = si.StartupInfo.hStdOutput = si.StartupInfo.hStdError = nul;
        si.lpAttributeList = list;
    }
    std::vector<char> buf(line.begin(), line.end());
    buf.push_back(0);  // CreateProcessA may write into the line
    PROCESS_INFORMATION pi;
    BOOL ok = CreateProcessA(nullptr, buf.data(), nullptr, nullptr, inherit,
                             CREATE_NO_WINDOW | (inherit ? EXTENDED_STARTUPINFO_PRESENT : 0), nullptr,
                             nullptr, &si.StartupInfo, &pi);
    *error = GetLastError();
    if (listed) DeleteProcThreadAttributeList(list);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!ok) return false;
    CloseHandle(pi.hThread);
    *process = pi.hProcess;
    return true;
}

static unsigned __stdcall commandsthread(void*) {
    std::vector<HANDLE> live;
    for (;;) {
        std::string line;
        {
            std::lock_guard<std::mutex> g(lock);
            int limit = commandlimit < 1 ? 1 : commandlimit > 63 ? 63 : commandlimit;
            if (closing) {
                dropped += waiting.size();
                waiting.clear();
            }
            if (!closing && (int)live.size() < limit && !waiting.empty()) {
                line = std::move(waiting.front());
                waiting.pop_front();
            } else if (closing || (live.empty() && waiting.empty())) {
                running = false;
                SetEvent(idle);
                break;
            }
        }
        if (!line.empty()) {
            HANDLE p;
            DWORD error;
            std::string program = programof(line);
            if (start(line, &p, &error)) {
                live.push_back(p);
                std::lock_guard<std::mutex> g(lock);
                told.erase(program);
            } else {
                bool first;
                {
                    std::lock_guard<std::mutex> g(lock);
                    first = told.insert(program).second;
                }
                if (first && commandfailed) commandfailed(line, error);
            }
            continue;
        }
        std::vector<HANDLE> h(live);
        h.push_back(wake);
        DWORD r = WaitForMultipleObjects((DWORD)h.size(), h.data(), FALSE, INFINITE);
        if (r >= WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + live.size()) {
            CloseHandle(live[r - WAIT_OBJECT_0]);
            live.erase(live.begin() + (r - WAIT_OBJECT_0));
        } else if (r == WAIT_FAILED) {
            Sleep(100);  // not expected: every handle is ours until closed here
        }
    }
    for (HANDLE p : live) CloseHandle(p);  // at the close: the commands run on
    return 0;
}

void runcommand(const std::string& cmdline) {
    if (programof(cmdline).empty()) return;
    std::lock_guard<std::mutex> g(lock);
    if (closing || (int)waiting.size() >= commandqueuelimit) {
        dropped++;
        return;
    }
    if (!wake) wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!idle) idle = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    waiting.push_back(cmdline);
    if (running) {
        SetEvent(wake);
        return;
    }
    if (thread) CloseHandle(thread);  // one that ended idle
    thread = (HANDLE)_beginthreadex(nullptr, 256 * 1024, commandsthread, nullptr,
                                    STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread) {
        dropped += waiting.size();
        waiting.clear();
        return;
    }
    running = true;
    ResetEvent(idle);
}

bool commandsshutdown(int ms) {
    HANDLE t;
    {
        std::lock_guard<std::mutex> g(lock);
        closing = true;
        t = thread;
        if (running) SetEvent(wake);
    }
    bool ended = !t || WaitForSingleObject(t, ms) == WAIT_OBJECT_0;
    if (ended) {
        std::lock_guard<std::mutex> g(lock);
        if (thread) CloseHandle(thread);
        thread = nullptr;
        closing = false;
    }
    return ended;
}

unsigned long commandsdropped() {
    std::lock_guard<std::mutex> g(lock);
    return dropped;
}

bool commandsidle(int ms) {
    HANDLE e;
    {
        std::lock_guard<std::mutex> g(lock);
        e = idle;
    }
    return !e || WaitForSingleObject(e, ms) == WAIT_OBJECT_0;
}
