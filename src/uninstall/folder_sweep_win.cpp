#include "uninstall/folder_sweep_win.h"

#include <windows.h>

#include <string.h>

#include "base/codepage.h"
#include "env/removal_lists.h"
#include "uninstall/file_search_win.h"
#include "uninstall/path.h"

namespace {

// Whether a folder on the way from folder along path is a junction, mount
// point or symbolic link: what lies behind one is not the installation's.
// The reparse tag comes from the folder's find record. A way too long to
// check counts as one.
bool passesThroughLink(const char* folder, const char* path)
{
    char way[MAX_PATH_BYTES] = "";
    if (appendText(way, sizeof way, folder) || appendText(way, sizeof way, "\\"))
        return true;
    char* component = way + strlen(way);
    if (appendText(way, sizeof way, path))
        return true;
    for (char* p = component; *p; p = mbNextChar(p)) {
        if (*p != '\\' && *p != '/')
            continue;
        char separator = *p;
        *p = '\0';
        // Wine reports a link's attributes but leaves the tag as it was:
        // the reserved tag 0, which no reparse point carries, makes a tag
        // that was never filled in count as a link.
        WIN32_FIND_DATAA found;
        found.dwReserved0 = 0;
        HANDLE search = FindFirstFileA(way, &found);
        *p = separator;
        if (search == INVALID_HANDLE_VALUE)
            continue;
        FindClose(search);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && !entersReparseFolder(found.dwReserved0))
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

void sweepPattern(const char* folder, const char* entry)
{
    RemovalPattern pattern;
    char subfolder[MAX_PATH_BYTES] = "";
    if (readRemovalPattern(entry, &pattern) != 0 || passesThroughLink(folder, pattern.path))
        return;
    if (pattern.folder[0] && (appendText(subfolder, sizeof subfolder, folder) ||
                              appendText(subfolder, sizeof subfolder, "\\") ||
                              appendText(subfolder, sizeof subfolder, pattern.folder)))
        return;
    // An entry ending in a separator names its folder only.
    if (pattern.name[0])
        deleteMatchingFiles(folder, &pattern);
    // Removed only when empty; the outer folders of a deeper pattern stay.
    if (subfolder[0])
        RemoveDirectoryA(subfolder);
}

void deleteMatchingFiles(const char* folder, const RemovalPattern* pattern)
{
    char saved[MAX_PATH_BYTES];
    DWORD length = GetCurrentDirectoryA(sizeof saved, saved);
    // A directory that could not be noted could not be restored either.
    if (length == 0 || length >= sizeof saved)
        return;
    SetCurrentDirectoryA(folder);
    if (startFileSearch(pattern->path) == 0) {
        for (const char* path; (path = nextFoundFile());) {
            const char* name = foundFileName();
            if (isPlainFileName(name) && matchesLongName(pattern->name, name))
                DeleteFileA(path);
        }
    }
    SetCurrentDirectoryA(saved);
}
