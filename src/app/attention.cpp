// Asking for the user's attention when a patrol saw a MAC change.
#include "app/attention.h"
#include "common/state.h"

BOOL(WINAPI* flashwindow)(PFLASHWINFO info) = FlashWindowEx;

bool infront(HWND window) { return GetForegroundWindow() == window && !IsIconic(window); }

// Decided when the patrol's message comes, after its save: the window is in front then if
// the user brought it there, or if the save's busy indicator handed the activation to it.
void askattention(HWND window) {
    if (exitrequest) return;
    if (infront(window)) return;
    FLASHWINFO info = {sizeof info, window, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    flashwindow(&info);
}
