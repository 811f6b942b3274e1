// The yardstick of the start-up benchmark: a window-subsystem program that
// does nothing (its imports are those of the C runtime's start-up code).
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
