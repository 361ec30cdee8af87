// The busy indicator: a modeless window with a caption line, a progress bar and a percentage.
// Created by busymessage, updated by setbusypercent, destroyed by its creator with
// DestroyWindow; all three on one thread.
#pragma once
#include <windows.h>

// Shows the indicator owned by `owner` with `text` as its caption line; null (after a
// message) when it cannot be created.
HWND busymessage(HWND owner, const char* text);
// Shows percent (0..100); a repeat of the last update, same window and value, does nothing.
void setbusypercent(HWND window, int percent);
INT_PTR CALLBACK busyDlg_Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
