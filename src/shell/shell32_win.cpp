#include "shell/shell32_win.h"

namespace {
HMODULE g_shell32;
}

FARPROC shell32Function(const char* name)
{
    // Start-up restricted the DLL search to the system folder.
    if (!g_shell32)
        g_shell32 = LoadLibraryA("shell32.dll");
    return g_shell32 ? GetProcAddress(g_shell32, name) : nullptr;
}
