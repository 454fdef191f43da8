#include <windows.h>

#include "shell/startup.h"
#include "uninstall/path.h"

void enterProgramFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    if (cutAtLastSeparator(path) != 0)
        return;
    SetCurrentDirectoryA(path);
}
