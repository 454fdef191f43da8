#include "uninstall/folder_sweep_win.h"

#include <windows.h>

#include <string.h>

#include "base/codepage.h"
#include "env/removal_lists.h"
#include "uninstall/file_search_win.h"
#include "uninstall/path.h"

namespace {

// Whether a folder on the way from folder to the pattern's files is a
// junction or symbolic link: what lies behind one is not the
// installation's. A way too long to check counts as one.
bool passesThroughLink(const char* folder, const char* pattern)
{
    char path[MAX_PATH_BYTES] = "";
    if (appendText(path, sizeof path, folder) || appendText(path, sizeof path, "\\"))
        return true;
    char* component = path + strlen(path);
    if (appendText(path, sizeof path, pattern))
        return true;
    for (char* p = component; *p; p = mbNextChar(p)) {
        if (*p != '\\' && *p != '/')
            continue;
        char separator = *p;
        *p = '\0';
        DWORD attributes = GetFileAttributesA(path);
        *p = separator;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return true;
    }
    return false;
}

void sweepList(const char* folder, const RemovalEntry* entry)
{
    for (; entry; entry = entry->next)
        sweepPattern(folder, entry->text);
}

}  // namespace

void sweepInstalledFiles(const char* folder)
{
    static const char* const kFixed[] = {"install.arc", "install.env", "insttscr.rct", "*.gid"};
    for (const char* name : kFixed)
        sweepPattern(folder, name);
    sweepList(folder, delfilesList);
}

void sweepUserFiles(const char* folder)
{
    sweepList(folder, delfilesUserList);
}

void sweepPattern(const char* folder, const char* pattern)
{
    char subfolder[MAX_PATH_BYTES];
    bool hasSubfolder = mbFindByte(pattern, '\\') != nullptr;
    if (!isPatternConfined(pattern) || passesThroughLink(folder, pattern) ||
        (hasSubfolder && subfolderPath(subfolder, folder, pattern) != 0))
        return;
    deleteMatchingFiles(folder, pattern);
    // Removed only when empty; the outer folders of a deeper pattern stay.
    if (hasSubfolder)
        RemoveDirectoryA(subfolder);
}

void deleteMatchingFiles(const char* folder, const char* pattern)
{
    char saved[MAX_PATH_BYTES];
    DWORD length = GetCurrentDirectoryA(sizeof saved, saved);
    // A directory that could not be noted could not be restored either.
    if (length == 0 || length >= sizeof saved)
        return;
    SetCurrentDirectoryA(folder);
    if (startFileSearch(pattern) == 0) {
        for (const char* path; (path = nextFoundFile());)
            DeleteFileA(path);
    }
    SetCurrentDirectoryA(saved);
}
