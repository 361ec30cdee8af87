// Drives the real Hostwarden.exe from another process of the same Wine session: starts
// it, finds its windows, posts commands, reads and answers message boxes and dialogs.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace drv {

// A started program; one still running when this goes out of scope is ended, so a
// failed test never leaves it holding the test's output open.
struct Program {
    HANDLE process = nullptr;
    DWORD pid = 0;
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();
};

// The Hostwarden.exe beside the running executable.
std::string programpath();
// Starts the program with `workdir` as its working directory.
bool start(const std::string& workdir, Program* p, const std::string& exe = programpath());
// The program's main window, waiting up to timeoutms for it.
HWND mainwindow(const Program& p, DWORD timeoutms = 20000);
std::string text(HWND window);
void command(HWND window, int id);  // posts WM_COMMAND id
// Waits for the process to end; its exit code, or -1 on time-out.
int waitexit(Program& p, DWORD timeoutms = 30000);
void kill(Program& p);

struct Dialog {
    HWND window;
    std::string title;
    std::string message;  // a message box's text (static 65535), else ""
};
// Visible dialogs (class #32770) of the program.
std::vector<Dialog> dialogs(const Program& p);
// Waits until a dialog with this title is shown; null on time-out.
HWND waitdialog(const Program& p, const std::string& title, DWORD timeoutms = 20000);
void press(HWND dialog, int button);  // clicks a button by id
std::string field(HWND dialog, int id);
void setfield(HWND dialog, int id, const std::string& value);
// Answers the program's open-file dialog with this title as a user does: types path
// into the file name field and presses Open. False when the dialog did not show up or
// did not close.
bool answerfiledialog(const Program& p, const std::string& title, const std::string& path,
                      DWORD timeoutms = 20000);
// Windows of the program's process other than dialogs, by class.
HWND findwindow(const Program& p, const char* cls, DWORD timeoutms = 20000);

}  // namespace drv
