#include <windows.h>

#include <string.h>

#include "shell/startup.h"
#include "uninstall/path.h"
#include "uninstall/self_delete_script.h"
#include "uninstall/self_delete_script_win.h"

int writeSelfDeleteScript(const char* scriptPath, const char* script)
{
    // The name is fixed and the program runs elevated: whatever sits there
    // goes first, and the script is then created as a new file, so that a
    // link planted at the name never redirects the write. DeleteFileA and
    // RemoveDirectoryA remove a link, not what it points to; the read-only
    // bit is cleared only on a plain entry, since setting attributes through
    // a link would change its target.
    DWORD attributes = GetFileAttributesA(scriptPath);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT)) == FILE_ATTRIBUTE_READONLY)
            SetFileAttributesA(scriptPath, attributes & ~FILE_ATTRIBUTE_READONLY);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveDirectoryA(scriptPath);
        else
            DeleteFileA(scriptPath);
    }
    HANDLE file = CreateFileA(scriptPath, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    DWORD length = (DWORD)strlen(script);
    DWORD written = 0;
    BOOL complete = WriteFile(file, script, length, &written, NULL) && written == length;
    complete = FlushFileBuffers(file) && complete;
    complete = CloseHandle(file) && complete;
    if (!complete) {
        // A script cut short could stop before its last lines or delete
        // something half-named; none at all is better.
        DeleteFileA(scriptPath);
        return -1;
    }
    return 0;
}

int startSelfDeleteScript(const char* scriptPath)
{
    // The system's own interpreter, named as the program: left to the
    // system, a batch file runs through "cmd /c" with the user's AutoRun
    // commands and expansion settings.
    char systemFolder[MAX_PATH_BYTES], application[MAX_PATH_BYTES], folder[MAX_PATH_BYTES];
    char commandLine[SCRIPT_COMMAND_BYTES];
    UINT n = GetSystemDirectoryA(systemFolder, sizeof systemFolder);
    if (n == 0 || n >= sizeof systemFolder || strlen(scriptPath) >= sizeof folder ||
        buildScriptCommand(systemFolder, scriptPath, application, commandLine, sizeof commandLine) != 0)
        return -1;
    // The script's folder is the interpreter's current directory, as the
    // command line may name the script relative to it.
    strcpy(folder, scriptPath);
    cutAtLastSeparator(folder);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    // Windows Terminal, as the default terminal, may show a console that
    // asked to be hidden, and closing it stops the script with the program
    // and its folder left behind. A console without any window still lets
    // chcp set its code page.
    PROCESS_INFORMATION process;
    if (!CreateProcessA(application, commandLine, NULL, NULL, FALSE, IDLE_PRIORITY_CLASS | CREATE_NO_WINDOW, NULL,
                        folder, &startup, &process))
        return -1;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return 0;
}

void launchSelfDeleteScript(int removeParentFolder)
{
    char exePath[MAX_PATH_BYTES], tempFolder[MAX_PATH_BYTES];
    char scriptPath[MAX_PATH_BYTES], pifPath[MAX_PATH_BYTES];
    char script[SCRIPT_BYTES];
    if (programPath(exePath) != 0)
        return;
    DWORD n = GetTempPathA(sizeof tempFolder, tempFolder);
    if (n == 0 || n >= sizeof tempFolder)
        return;
    if (buildSelfDeleteScript(exePath, tempFolder, removeParentFolder, scriptPath, pifPath, script,
                              sizeof script) != 0 ||
        writeSelfDeleteScript(scriptPath, script) != 0)
        return;
    // A read-only executable can never be deleted, and the hidden script
    // would retry for ever.
    DWORD attributes = GetFileAttributesA(exePath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(exePath, attributes & ~FILE_ATTRIBUTE_READONLY);
    // Neither this process nor the script may keep the install folder as
    // its current directory, or the folder could not be removed.
    SetCurrentDirectoryA(tempFolder);
    startSelfDeleteScript(scriptPath);
}
