#include "uninstall/folder_sweep_win.h"

#include <windows.h>

#include <string.h>

#include "base/codepage.h"
#include "env/removal_lists.h"
#include "uninstall/file_search_win.h"
#include "uninstall/files_in_use_win.h"
#include "uninstall/path.h"

namespace {

typedef BOOL(WINAPI* FileInfoExFn)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);

// Whether the folder behind an open handle may be entered: a folder, and no
// junction, mount point or symbolic link, which lead elsewhere. Before Vista
// the system gives no reparse tag through a handle, and only the search
// below can tell.
bool isEnterableFolder(HANDLE folder)
{
    FileInfoExFn infoEx =
        (FileInfoExFn)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFileInformationByHandleEx");
    FILE_ATTRIBUTE_TAG_INFO info;
    if (!infoEx)
        return true;
    if (!infoEx(folder, FileAttributeTagInfo, &info, sizeof info) || !(info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return !(info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || entersReparseFolder(info.ReparseTag);
}

// Wine opens the folder a link leads to, not the link, and shows the link
// only to a search. Asked while the folder is held, the search names the
// same object as the handle. Wine also leaves the tag as it was: the
// reserved tag 0 makes a tag never filled in count as a link.
bool searchShowsLink(const char* path)
{
    WIN32_FIND_DATAA found;
    found.dwReserved0 = 0;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && !entersReparseFolder(found.dwReserved0);
}

// The folders on a pattern's way, outermost first, each held from its check
// until it is released: another user who may write into the install folder
// cannot swap one for a junction between the check and the deletions that
// go through it by name.
class HeldWay {
public:
    HeldWay() : count_(0) {}
    ~HeldWay() { releaseFrom(0); }
    HeldWay(const HeldWay&) = delete;
    HeldWay& operator=(const HeldWay&) = delete;

    // Holds the folder at path, then checks it; false when it cannot be
    // held or must not be entered.
    bool enter(const char* path)
    {
        if (count_ == kMaxFolders)
            return false;
        HANDLE folder = holdFolder(path);
        if (folder == INVALID_HANDLE_VALUE)
            return false;
        handles_[count_++] = folder;
        return isEnterableFolder(folder) && !searchShowsLink(path);
    }
    int count() const { return count_; }
    // Releases the folders held from the nth on, innermost first.
    void releaseFrom(int n)
    {
        while (count_ > n)
            CloseHandle(handles_[--count_]);
    }

private:
    // Every part of a way takes at least two bytes.
    enum { kMaxFolders = MAX_PATH_BYTES / 2 };
    HANDLE handles_[kMaxFolders];
    int count_;
};

// What the sweep does with each file it finds: null to delete it, or the
// action of a visit that deletes nothing.
FoundFileAction g_visit;

// A file that another program has taken into use since the check cannot go
// now: it goes at the next restart.
void deleteFoundFile(const char* path)
{
    if (!DeleteFileA(path) && isFileInUse(path))
        deleteFileAtRestart(path);
}

void sweepList(const char* folder, const RemovalEntry* entry)
{
    for (; entry; entry = entry->next)
        sweepPattern(folder, entry->text);
}

}  // namespace

HANDLE holdFolder(const char* path)
{
    // Listing access takes part in sharing, where attributes alone would
    // not; without delete sharing no one can rename or remove the folder,
    // and on Windows no folder above it either. The link itself is opened,
    // never what it leads to.
    return CreateFileA(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
}

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

void visitSweptFiles(const char* folder, bool userFiles, FoundFileAction action)
{
    g_visit = action;
    sweepInstalledFiles(folder);
    if (userFiles)
        sweepUserFiles(folder);
    g_visit = nullptr;
}

void sweepPattern(const char* folder, const char* entry)
{
    RemovalPattern pattern;
    char way[MAX_PATH_BYTES] = "";
    if (readRemovalPattern(entry, &pattern) != 0 || appendText(way, sizeof way, folder) ||
        appendText(way, sizeof way, "\\"))
        return;
    char* start = way + strlen(way);
    char* folderEnd = start + strlen(pattern.folder);
    if (appendText(way, sizeof way, pattern.path))
        return;
    HeldWay held;
    int removedFolder = 0;
    for (char* p = start; *p; p = mbNextChar(p)) {
        if (!isDirSeparator((unsigned char)*p))
            continue;
        if (p == folderEnd)
            removedFolder = held.count();
        char separator = *p;
        *p = '\0';
        bool entered = held.enter(way);
        *p = separator;
        if (!entered)
            return;
    }
    // An entry ending in a separator names its folder only.
    if (pattern.name[0])
        deleteMatchingFiles(folder, &pattern);
    // Removed only when empty; the outer folders of a deeper pattern stay.
    // A held folder cannot be removed, so it goes free first, while the
    // folders above it stay held. One that a file put off keeps goes at the
    // restart too, after the file.
    if (pattern.folder[0] && !g_visit) {
        held.releaseFrom(removedFolder);
        *folderEnd = '\0';
        if (!RemoveDirectoryA(way) && filesDeletedAtRestart() > 0)
            removeFolderAtRestart(way);
    }
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
                (g_visit ? g_visit : deleteFoundFile)(path);
        }
    }
    SetCurrentDirectoryA(saved);
}
