// The output view's selection copied to the clipboard as plain text.
#pragma once
#include <windows.h>

// Copies the selection; false after a failure it has reported.
bool copyllsel(HWND window);
