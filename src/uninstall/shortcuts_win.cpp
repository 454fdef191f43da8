#include "uninstall/shortcuts_win.h"

#include <shlobj.h>
#include <string.h>

#include "env/settings_keys.h"
#include "env/settings_table.h"
#include "shell/report_win.h"
#include "shell/shell32_win.h"
#include "uninstall/path.h"

namespace {

int g_nt6 = -1;  // not yet known

// out = the texts up to the nullptr, one after another. false when they
// would not fit a path buffer: a long name is refused, never cut.
bool joinTexts(char* out, const char* const* texts)
{
    out[0] = '\0';
    for (; *texts; ++texts) {
        if (appendText(out, MAX_PATH_BYTES, *texts) != 0)
            return false;
    }
    return true;
}

// A shell folder with its trailing separator.
bool shellFolder(int allUsers, int ownUser, char* path)
{
    if (!getSpecialFolderPath(mainWindowHandle(), isNt6OrLater() ? allUsers : ownUser, path) ||
        strlen(path) >= MAX_PATH_BYTES - 1)
        return false;
    addTrailingSeparator(path);
    return true;
}

// A folder of the programs folder: first, and second inside it when given.
bool programsPath(char* path, const char* first, const char* second)
{
    char programs[MAX_PATH_BYTES];
    if (!shellFolder(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS, programs))
        return false;
    const char* texts[] = {programs, first, second ? "\\" : nullptr, second, nullptr};
    return joinTexts(path, texts);
}

// The title's folder: in the group's folder when a group is set.
bool titleFolder(char* path, const char* group, const char* title)
{
    return group ? programsPath(path, group, title) : programsPath(path, title, nullptr);
}

void deleteShortcut(const char* folder, const char* title, const char* suffix)
{
    char path[MAX_PATH_BYTES];
    const char* texts[] = {folder, title, suffix, ".LNK", nullptr};
    if (joinTexts(path, texts))
        DeleteFileA(path);
}

}  // namespace

void removeProgramShortcuts()
{
    const char* group = settingInstGroup();
    const char* title = settingTitle();  // names the title folder and the shortcuts
    char folder[MAX_PATH_BYTES];
    if (!titleFolder(folder, group, title) || appendText(folder, sizeof folder, "\\") != 0)
        return;
    // The readme shortcut exists when the installer had a readme file to
    // point it at; its name carries the readme's display name.
    char readmeName[MAX_PATH_BYTES];
    char readmeFile[MAX_PATH_BYTES];
    lookupSetting("INSTREADME", readmeName, sizeof readmeName, "お読みください");
    lookupSetting("HELP_FILE", readmeFile, sizeof readmeFile, "");
    lookupSetting("INSTREADMEFL", readmeFile, sizeof readmeFile, readmeFile);
    char readmeSuffix[MAX_PATH_BYTES + 1] = " ";
    strcpy(readmeSuffix + 1, readmeName);

    deleteShortcut(folder, title, "");
    if (readmeFile[0] && readmeFile[0] != '-')
        deleteShortcut(folder, title, readmeSuffix);
    deleteShortcut(folder, title, " アンインストール");

    // Each folder goes only when empty: a shortcut of the user's keeps it.
    if (!titleFolder(folder, group, title))
        return;
    RemoveDirectoryA(folder);
    if (group && programsPath(folder, group, nullptr))
        RemoveDirectoryA(folder);
}

void removeDesktopShortcut()
{
    char desktop[MAX_PATH_BYTES];
    if (shellFolder(CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY, desktop))
        deleteShortcut(desktop, settingTitle(), "");
}

bool getSpecialFolderPath(HWND owner, int folder, char* path)
{
    path[0] = '\0';
    auto getMalloc = (decltype(&SHGetMalloc))(void*)shell32Function("SHGetMalloc");
    auto getLocation = (decltype(&SHGetSpecialFolderLocation))(void*)shell32Function("SHGetSpecialFolderLocation");
    auto getPath = (decltype(&SHGetPathFromIDListA))(void*)shell32Function("SHGetPathFromIDListA");
    IMalloc* allocator;
    if (!getMalloc || !getLocation || !getPath || FAILED(getMalloc(&allocator)))
        return false;
    LPITEMIDLIST list;
    bool found = false;
    if (SUCCEEDED(getLocation(owner, folder, &list))) {
        found = getPath(list, path) != FALSE;
        allocator->Free(list);
    }
    allocator->Release();
    return found;
}

bool isNt6OrLater()
{
    if (g_nt6 >= 0)
        return g_nt6 != 0;
    g_nt6 = 0;
    // The top bit of GetVersion is set outside the NT family.
    if (GetVersion() & 0x80000000)
        return false;
    OSVERSIONINFOA info;
    memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT || info.dwMajorVersion < 6)
        return false;
    g_nt6 = 1;
    return true;
}
