#include <windows.h>

#include "shell/startup.h"
#include "uninstall/path.h"

int programPath(char* path)
{
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? -1 : 0;
}

int programFolder(char* folder)
{
    return programPath(folder) == 0 ? cutAtLastSeparator(folder) : -1;
}

void enterProgramFolder()
{
    char folder[MAX_PATH];
    if (programFolder(folder) == 0)
        SetCurrentDirectoryA(folder);
}
