// Another program beside Hostwarden, for the scripts that prove its saves and its
// resources from outside:
//   hwhold hold FILE SHARE MS      holds FILE open for MS ms, sharing SHARE (letters r, w,
//                                  d, or "-" for none); prints "held" once it is open
//   hwhold random FILE SECONDS [SHARE]
//                                  holds FILE at random moments for SECONDS: each hold 0-1.5 s,
//                                  0-3 s apart, sharing SHARE (default: read, and delete or
//                                  not at random); one line each
//   hwhold sample NAME [COUNT MS]  the process of that image name as Windows counts it:
//                                  "handles threads private_kib workingset_kib"; with
//                                  COUNT, the look with the fewest threads of COUNT
//                                  looks MS apart (the program at rest between patrols)
//   hwhold args FILE [ARG...]      appends each ARG, one a line, to FILE (as a command
//                                  started for an event sees them)
//   hwhold busy NAME MS            one of many commands alive at once: in the three LONGs
//                                  of the file mapping NAME (alive, most alive, ended)
//                                  counts itself alive for MS ms, then ended
#include <windows.h>
#include <winternl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

static DWORD sharing(const char* s) {
    DWORD share = 0;
    if (strchr(s, 'r')) share |= FILE_SHARE_READ;
    if (strchr(s, 'w')) share |= FILE_SHARE_WRITE;
    if (strchr(s, 'd')) share |= FILE_SHARE_DELETE;
    return share;
}

// Opens the file as a scanner or an editor does; tries for a second while it is missing
// or held itself (it may be between the two renames of a replacement).
static HANDLE openheld(const char* file, DWORD share) {
    for (int i = 0; i < 100; i++) {
        HANDLE h = CreateFileA(file, GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) return h;
        Sleep(10);
    }
    return INVALID_HANDLE_VALUE;
}

// The fields of SYSTEM_PROCESS_INFORMATION up to the private page count (winternl.h
// leaves them reserved).
struct ProcessInfo {
    ULONG next, threads;
    BYTE reserved1[48];
    UNICODE_STRING name;
    LONG basepriority;
    HANDLE pid, parent;
    ULONG handles, session;
    ULONG_PTR key;
    SIZE_T peakvirtual, virtualsize;
    ULONG faults;
    SIZE_T peakworkingset, workingset, quota[4], pagefile, peakpagefile, privatepages;
};

// One entry of SystemHandleInformation: a handle and the process that holds it.
struct HandleEntry {
    ULONG pid;
    BYTE type, flags;
    USHORT handle;
    PVOID object;
    ULONG access;
};

struct Sample {
    ULONG handles, threads;
    unsigned long privatekib, workingkib, commitkib;
};

// The private memory committed through Windows' own calls (heaps, stacks, VirtualAlloc).
// Under Wine the private bytes above are the process's resident anonymous memory, which
// also holds the Unix side (the C library's heap, the X11 driver, the resolver); Wine
// shows the memory it did not map itself as reserved, so this walk counts only ours.
static unsigned long committedkib(ULONG pid) {
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!h) return 0;
    unsigned long long total = 0;
    MEMORY_BASIC_INFORMATION m;
    for (char* at = nullptr; VirtualQueryEx(h, at, &m, sizeof m) == sizeof m;) {
        if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE) total += m.RegionSize;
        char* next = (char*)m.BaseAddress + m.RegionSize;
        if (next <= at) break;
        at = next;
    }
    CloseHandle(h);
    return (unsigned long)(total / 1024);
}

static bool look(const char* name, Sample* out) {
    typedef NTSTATUS(NTAPI * Query)(ULONG, PVOID, ULONG, PULONG);
    Query query = (Query)(void*)GetProcAddress(GetModuleHandleA("ntdll"), "NtQuerySystemInformation");
    std::vector<char> buf(1 << 20), handles(1 << 23);
    ULONG n = 0;
    if (!query || query(5 /* SystemProcessInformation */, buf.data(), (ULONG)buf.size(), &n) != 0) return false;
    wchar_t wanted[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, name, -1, wanted, MAX_PATH);
    for (char* at = buf.data();;) {
        ProcessInfo* p = (ProcessInfo*)at;
        if (p->name.Buffer && !_wcsicmp(p->name.Buffer, wanted)) {
            // The process's own count grows with its handle table and never shrinks under
            // Wine: the handles are counted one by one instead.
            ULONG count = 0, pid = (ULONG)(ULONG_PTR)p->pid;
            if (query(16 /* SystemHandleInformation */, handles.data(), (ULONG)handles.size(), &n) == 0) {
                ULONG total = *(ULONG*)handles.data();
                HandleEntry* e = (HandleEntry*)(handles.data() + sizeof(ULONG_PTR));
                for (ULONG i = 0; i < total; i++) count += e[i].pid == pid;
            }
            *out = {count, p->threads, (unsigned long)(p->pagefile / 1024), (unsigned long)(p->workingset / 1024),
                    committedkib(pid)};
            return true;
        }
        if (!p->next) return false;
        at += p->next;
    }
}

static int sample(const char* name, int count, int ms) {
    Sample best = {}, s;
    bool found = false;
    for (int i = 0; i < count; i++) {
        if (i) Sleep(ms);
        if (look(name, &s) && (!found || s.threads <= best.threads)) {
            best = s;
            found = true;
        }
    }
    if (!found) return 1;
    printf("%lu %lu %lu %lu %lu\n", best.handles, best.threads, best.privatekib, best.workingkib, best.commitkib);
    return 0;
}

static int args(int argc, char** argv) {
    FILE* f = fopen(argv[2], "ab");
    if (!f) return 1;
    for (int i = 3; i < argc; i++) fprintf(f, "%s\n", argv[i]);
    return fclose(f) ? 1 : 0;
}

static int busy(const char* name, int ms) {
    HANDLE m = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
    volatile LONG* c = m ? (volatile LONG*)MapViewOfFile(m, FILE_MAP_ALL_ACCESS, 0, 0, 3 * sizeof(LONG)) : nullptr;
    if (!c) return 1;
    LONG alive = InterlockedIncrement(&c[0]), most;
    while ((most = c[1]) < alive && InterlockedCompareExchange(&c[1], alive, most) != most) {
    }
    Sleep(ms);
    InterlockedDecrement(&c[0]);
    InterlockedIncrement(&c[2]);
    return 0;
}

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc >= 3 && !strcmp(argv[1], "args")) return args(argc, argv);
    if (argc == 4 && !strcmp(argv[1], "busy")) return busy(argv[2], atoi(argv[3]));
    if (argc == 5 && !strcmp(argv[1], "hold")) {
        HANDLE h = openheld(argv[2], sharing(argv[3]));
        if (h == INVALID_HANDLE_VALUE) return 1;
        printf("held\n");
        Sleep(atoi(argv[4]));
        CloseHandle(h);
        return 0;
    }
    if ((argc == 4 || argc == 5) && !strcmp(argv[1], "random")) {
        srand(GetTickCount() ^ GetCurrentProcessId());
        DWORD end = GetTickCount() + atoi(argv[3]) * 1000u;
        while ((int)(end - GetTickCount()) > 0) {
            Sleep(rand() % 3000);
            DWORD share = argc == 5 ? sharing(argv[4]) : FILE_SHARE_READ | (rand() % 2 ? FILE_SHARE_DELETE : 0);
            int ms = rand() % 1500;
            HANDLE h = openheld(argv[2], share);
            if (h == INVALID_HANDLE_VALUE) continue;
            printf("held %d ms %s delete sharing\n", ms, share & FILE_SHARE_DELETE ? "with" : "without");
            Sleep(ms);
            CloseHandle(h);
        }
        return 0;
    }
    if (argc == 3 && !strcmp(argv[1], "sample")) return sample(argv[2], 1, 0);
    if (argc == 5 && !strcmp(argv[1], "sample")) return sample(argv[2], atoi(argv[3]), atoi(argv[4]));
    fprintf(stderr, "usage: hwhold hold FILE SHARE MS | random FILE SECONDS | sample NAME [COUNT MS] | "
                    "args FILE [ARG...] | busy NAME MS\n");
    return 2;
}
