// Notices and diagnostics shared by every subsystem, callable from any thread.
#pragma once

// The two shared captions. msgbox recognises them by identity, not by their letters.
extern const char captionerror[];    // "Error"   -> stop sign
extern const char captionfailure[];  // "Failure" -> exclamation mark

// Shows a task-modal OK box; the caption chooses the icon. Text is cut at 1023 characters.
void msgbox(const char* caption, const char* format, ...);
// The same with the buttons given (MB_RETRYCANCEL...); the button chosen (IDRETRY...).
int msgboxchoice(const char* caption, unsigned buttons, const char* format, ...);
// Formats into 1024 bytes and sends the text to the debugger output.
void debugprintf(const char* format, ...);
// The MessageBoxA style msgbox uses for a caption.
unsigned msgboxstyle(const char* caption);

// Test seam: when set, msgbox hands the finished notice here instead of showing a box.
typedef void (*noticefn)(const char* caption, const char* text, unsigned style);
extern noticefn noticehook;
// The button a captured msgboxchoice answers with (IDCANCEL unless a test sets it).
extern int noticechoice;
