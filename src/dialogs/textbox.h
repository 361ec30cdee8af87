// The scrolling text box used for the About and Help texts.
#pragma once
#include <windows.h>

void showtextbox(HWND owner, const char* text, const char* title);
INT_PTR CALLBACK textboxDlg_Proc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
