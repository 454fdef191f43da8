// shell32 on demand. Most starts of the program never reach a shell call
// (only the readme button and the shortcut removal do), and loading shell32
// with the program is the largest part of its start-up beyond a bare dialog.
#pragma once
#include <windows.h>

// The named function of shell32 (loaded from the system folder on first
// use), or nullptr when it cannot be had.
FARPROC shell32Function(const char* name);
