// The main window: its procedure, command dispatch and shutdown sequence.
#pragma once
#include <windows.h>

extern HWND mainwindow;
extern const char abouttext[];

LRESULT CALLBACK mainwndproc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void dispatchcommand(HWND window, int id);
void shutdownsequence();

// Entry: registers the class, creates the main window and runs the message loop.
bool registermainclass(HINSTANCE instance);
HWND createmainwindow(HINSTANCE instance);
int hostwardenmain(HINSTANCE instance, int show);
