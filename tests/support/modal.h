// Helpers for in-process tests of modal dialogs and of the clipboard.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace hwtest {

typedef std::function<void(HWND)> Step;

// Runs `open`, which shows modal dialogs on this thread, and acts on them: each step runs
// in turn from a timer tick inside the modal loop, on the topmost enabled dialog of the
// thread. A step that opens a nested dialog lets the next steps act on that one. True when
// every step ran and `open` returned in time; on time-out the dialogs are cancelled.
bool withdialogs(const std::function<void()>& open, const std::vector<Step>& steps,
                 DWORD timeoutms = 15000);
// Sends a button's command to a dialog as a click does.
void click(HWND dialog, int id);
// The visible dialogs (class #32770) of this thread, topmost first.
std::vector<HWND> threaddialogs();

// CF_TEXT on the clipboard; false when there is none. *bytes: the block's size.
bool clipboardtext(std::string* text, size_t* bytes = nullptr);
// Puts a text on the clipboard, so that a test can see it replaced or emptied.
void setclipboardtext(const char* text);

// One test at a time, across the test processes of the Wine session, may use the
// clipboard or the keyboard's modifier state, both shared by every process: hold a turn
// for the whole test.
class InputTurn {
public:
    InputTurn();
    ~InputTurn();
    InputTurn(const InputTurn&) = delete;
    InputTurn& operator=(const InputTurn&) = delete;

private:
    HANDLE mutex;
};

// Presses or releases a key through the system's input, as the user does, so that
// GetAsyncKeyState sees it.
void presskey(int vk, bool down);

}  // namespace hwtest
