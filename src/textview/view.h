// The output view's set-up, page computation, painting and message routing.
#pragma once
#include <windows.h>

const int viewmargin = 10;  // the left margin in pixels at 96 DPI (lb.margin at this DPI)

void twinit(HWND window);
HFONT twfont(HDC dc);
void twsetpage();
void twpaint(PAINTSTRUCT* ps);
void twproc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
