#include "modal.h"
#include <string.h>

namespace hwtest {

namespace {

struct Run {
    const std::vector<Step>* steps;
    size_t next;
    DWORD start, timeoutms;
    bool timedout;
};
Run* current = nullptr;

BOOL CALLBACK collect(HWND w, LPARAM lp) {
    char cls[16];
    GetClassNameA(w, cls, sizeof cls);
    if (!strcmp(cls, "#32770") && IsWindowVisible(w))
        ((std::vector<HWND>*)lp)->push_back(w);
    return TRUE;
}

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    Run* r = current;
    if (!r) return;
    if (GetTickCount() - r->start > r->timeoutms) {
        r->timedout = true;
        for (HWND d : threaddialogs()) EndDialog(d, IDCANCEL);
        return;
    }
    if (r->next >= r->steps->size()) return;
    for (HWND d : threaddialogs()) {
        if (!IsWindowEnabled(d)) continue;
        const Step& step = (*r->steps)[r->next++];
        step(d);
        return;
    }
}

}  // namespace

std::vector<HWND> threaddialogs() {
    std::vector<HWND> v;
    EnumThreadWindows(GetCurrentThreadId(), collect, (LPARAM)&v);
    return v;
}

bool withdialogs(const std::function<void()>& open, const std::vector<Step>& steps,
                 DWORD timeoutms) {
    Run r = {&steps, 0, GetTickCount(), timeoutms, false};
    Run* outer = current;
    current = &r;
    UINT_PTR timer = SetTimer(nullptr, 0, 30, tick);
    open();
    KillTimer(nullptr, timer);
    current = outer;
    return !r.timedout && r.next == steps.size();
}

void click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

bool clipboardtext(std::string* text, size_t* bytes) {
    text->clear();
    if (bytes) *bytes = 0;
    for (int i = 0; i < 50 && !OpenClipboard(nullptr); i++) Sleep(20);
    HANDLE h = GetClipboardData(CF_TEXT);
    bool found = false;
    if (h) {
        const char* p = (const char*)GlobalLock(h);
        if (p) {
            size_t n = GlobalSize(h);
            if (bytes) *bytes = n;
            text->assign(p, strnlen(p, n));
            GlobalUnlock(h);
            found = true;
        }
    }
    CloseClipboard();
    return found;
}

void setclipboardtext(const char* text) {
    size_t n = strlen(text) + 1;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
    memcpy(GlobalLock(h), text, n);
    GlobalUnlock(h);
    for (int i = 0; i < 50 && !OpenClipboard(nullptr); i++) Sleep(20);
    EmptyClipboard();
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
}

InputTurn::InputTurn() {
    mutex = CreateMutexA(nullptr, FALSE, "HostwardenTestInputTurn");
    if (mutex) WaitForSingleObject(mutex, 120000);  // abandoned by a crashed test: ours now
}

InputTurn::~InputTurn() {
    if (!mutex) return;
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

void presskey(int vk, bool down) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = (WORD)vk;
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
}

}  // namespace hwtest
