// Scrolling, selection and clipboard (not built yet).
#include "textview/input.h"

void twVSCROLL(int, int) {}
void twHSCROLL(int, int) {}
void twKEYDOWN(HWND, WPARAM) {}
void getwheelstep() {}
void twMOUSEWHEEL(HWND, WPARAM) {}
void twBUTTONDOWN(HWND, WPARAM, LPARAM) {}
void twMOUSEMOVE(HWND, WPARAM, LPARAM) {}
bool getcoords(LPARAM, int*, int*) { return false; }
bool copyllsel(HWND) { return false; }
