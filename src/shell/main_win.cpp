#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <stdlib.h>
#include <string.h>

#include "env/removal_lists.h"
#include "env/settings_keys.h"
#include "env/settings_table.h"
#include "resfile/resource_opener.h"
#include "shell/main_window.h"
#include "shell/report_win.h"
#include "shell/startup.h"

namespace {

// The program runs elevated from a folder that anyone may be able to write
// to, and the shell loads DLLs on demand later: keep every DLL search in the
// system folder, so a planted DLL beside the program is never picked up.
void restrictDllSearch()
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto setDefault = kernel ? (SetDefaultDllDirectoriesFn)(void*)GetProcAddress(kernel, "SetDefaultDllDirectories")
                             : nullptr;
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryA("");
}

// With a manifest that asks for the common controls 6, Windows XP cannot
// create the program's dialogs until comctl32 has registered its classes;
// from Vista on the system loads it with the first control itself. So only
// the older systems load it, before the first box, and the others pay
// nothing at start-up.
void initCommonControlsBeforeVista()
{
    if (LOBYTE(GetVersion()) >= 6)
        return;
    typedef BOOL(WINAPI * InitFn)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl32 = LoadLibraryA("comctl32.dll");
    auto init = comctl32 ? (InitFn)(void*)GetProcAddress(comctl32, "InitCommonControlsEx") : nullptr;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_STANDARD_CLASSES};
    if (init)
        init(&classes);
}

void releaseCom()
{
    CoUninitialize();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    restrictDllSearch();
    initCommonControlsBeforeVista();

    char envName[128];
    strcpy(envName, "install.env");

    CoInitialize(NULL);
    // Registered before the opener's and the table's clean-ups, so it runs after them.
    atexit(releaseCom);

    enterProgramFolder();
    setPlainPathsAllowed(1);
    if (!resourceFileExists(envName)) {
        reportError("起動に必要なファイルが不足しています。\nインストールの異常終了、起動するフォルダ異常、等を確認してください。");
        exit(-1);
    }
    readSettingsTable(envName);
    readRemovalLists(envName);

    // Held until the process ends; the system releases it then.
    HANDLE instanceMutex = CreateMutexA(NULL, TRUE, uninstallTitle());
    if (!instanceMutex)
        exit(0);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        char text[1024];
        formatText(text, sizeof text, "[ %s ] は既に起動中です", uninstallTitle());
        MessageBoxA(NULL, text, settingTitle(), MB_OK | MB_ICONERROR);
        exit(0);
    }

    // The window ends only with 0; a dialog that cannot be made at all (-1)
    // must not be retried forever.
    INT_PTR result;
    do {
        result = DialogBoxParamA(instance, "MAINDIALOG", NULL, mainWindowProc, 0);
    } while (result != 0 && result != -1);
    return 0;
}
