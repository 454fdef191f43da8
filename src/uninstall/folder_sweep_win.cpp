#include "uninstall/folder_sweep_win.h"

#include <string.h>

#include "base/codepage.h"
#include "env/removal_lists.h"
#include "shell/startup.h"
#include "uninstall/path.h"
#include "uninstall/removal_pattern.h"

namespace {

// The folders on a pattern's way below the install folder, outermost
// first, each opened from the one before and held until it is released:
// nothing another user renames, removes or turns into a link meanwhile can
// lead what follows elsewhere, as every file is opened from its folder's
// handle too.
class HeldWay {
public:
    explicit HeldWay(HANDLE root) : root_(root), count_(0) {}
    ~HeldWay() { releaseFrom(0); }
    HeldWay(const HeldWay&) = delete;
    HeldWay& operator=(const HeldWay&) = delete;

    // Opens the folder name in the innermost one, then checks it; false
    // when it cannot be opened or must not be entered. A folder to be
    // removed is opened for deletion too, where that is allowed.
    bool enter(NtName name, bool removable)
    {
        if (count_ == kMaxFolders)
            return false;
        HANDLE parent = innermost();
        ACCESS_MASK access = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
        HANDLE folder;
        NTSTATUS status = NtAccessDenied;
        if (removable)
            status = openInFolder(parent, name, access | DELETE, kShare, FILE_DIRECTORY_FILE, &folder);
        if (status != 0)
            status = openInFolder(parent, name, access, kShare, FILE_DIRECTORY_FILE, &folder);
        if (status != 0)
            return false;
        handles_[count_++] = folder;
        return isEnterableFolder(folder) && !listedAsLink(parent, name);
    }
    HANDLE innermost() const { return count_ ? handles_[count_ - 1] : root_; }
    int count() const { return count_; }
    // Releases the folders held from the nth on, innermost first.
    void releaseFrom(int n)
    {
        while (count_ > n)
            CloseHandle(handles_[--count_]);
    }
    // Removes the innermost folder if it is empty, and releases it.
    void removeInnermost()
    {
        setDeleteOnClose(handles_[count_ - 1], true);
        releaseFrom(count_ - 1);
    }

private:
    // Without delete sharing no one can rename or remove a held folder, and
    // on Windows no folder above it either.
    static const ULONG kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    // Every part of a way takes at least two bytes.
    enum { kMaxFolders = MAX_PATH_BYTES / 2 };

    // Whether the parent's listing shows the entry as a link. Wine opens
    // the folder a link leads to whatever it is asked, and shows the link
    // only there; it leaves the tag 0, a reserved value that no reparse
    // point carries, which counts as a link. Asked while the folder is
    // held, the name can only be the held one.
    static bool listedAsLink(HANDLE parent, NtName name)
    {
        FolderListing listing(parent, &name);
        if (!listing.next())
            return true;
        return (listing.attributes() & FILE_ATTRIBUTE_REPARSE_POINT) && !entersReparseFolder(listing.reparseTag());
    }

    HANDLE root_;
    HANDLE handles_[kMaxFolders];
    int count_;
};

// The long name of the running program, as a search of its path gives it:
// the name a listing of the install folder shows for it, however the
// program was started.
const char* programName()
{
    static char name[MAX_PATH_BYTES];
    if (!name[0]) {
        char program[MAX_PATH_BYTES];
        WIN32_FIND_DATAA found;
        HANDLE search = programPath(program) == 0 ? FindFirstFileA(program, &found) : INVALID_HANDLE_VALUE;
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
            strcpy(name, found.cFileName);
        }
    }
    return name;
}

// The files the program needs to start, directly in the install folder,
// in the order they go: without install.env nothing starts at all.
const char* const kStartFiles[] = {"install.env", "insttscr.rct"};

bool isStartFile(const char* name)
{
    for (const char* start : kStartFiles) {
        if (matchesLongName(start, name))
            return true;
    }
    return false;
}

// The folders of a path's way below the install folder as the system reads
// a path (dots that end a folder name dropped, as opening by the whole path
// would have): path up to nameAt, made whole and turned into UTF-16, each
// folder name ending in '\'. The part below the install folder begins at
// relative; it must hold separators folders. -1 when it is not so.
int readWay(const char* path, size_t nameAt, size_t relative, int separators, WCHAR* way)
{
    WCHAR given[MAX_PATH_BYTES];
    WCHAR full[MAX_PATH_BYTES];
    int prefix = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, (int)relative, given, MAX_PATH_BYTES);
    int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, (int)nameAt, given, MAX_PATH_BYTES - 1);
    if (prefix == 0 || length == 0)
        return -1;
    given[length] = L'\0';
    DWORD fullLength = GetFullPathNameW(given, MAX_PATH_BYTES, full, NULL);
    if (fullLength == 0 || fullLength >= MAX_PATH_BYTES || wcsncmp(full, given, prefix) != 0)
        return -1;
    wcscpy(way, full + prefix);
    int found = 0;
    for (const WCHAR* p = way; *p; ++p)
        found += *p == L'\\';
    return found == separators ? 0 : -1;
}

int countSeparators(const char* text, size_t length)
{
    int count = 0;
    for (const char* p = text; p < text + length; p = mbNextChar(p))
        count += isDirSeparator((unsigned char)*p);
    return count;
}

// Hands each file of the innermost folder whose long name matches the
// pattern to the action, its name put in place in path at nameAt; the files
// the program starts from only when startFiles.
void actOnMatches(const HeldWay& held, const RemovalPattern& pattern, char* path, size_t nameAt, size_t relative,
                  const SweepAction& action, bool startFiles)
{
    FolderListing listing(held.innermost());
    while (listing.next()) {
        char name[MAX_PATH_BYTES];
        if ((listing.attributes() & FILE_ATTRIBUTE_DIRECTORY) || ansiName(listing.name(), name, sizeof name) != 0 ||
            !isPlainFileName(name) || !matchesLongName(pattern.name, name) ||
            (held.count() == 0 && (strcmp(name, programName()) == 0 || (!startFiles && isStartFile(name)))))
            continue;
        path[nameAt] = '\0';
        // A path that would not fit is passed over, never cut.
        if (appendText(path, MAX_PATH_BYTES, name) == 0)
            action.onFile({held.innermost(), listing.name(), path, relative}, action.context);
    }
}

void deleteFile(const FoundFile& file, void*)
{
    deleteFoundFile(file);
}

// sweepPattern, the files the program starts from matched only when
// startFiles.
void sweepEntry(const SweptFolder& folder, const char* entry, const SweepAction& action, bool startFiles)
{
    RemovalPattern pattern;
    char path[MAX_PATH_BYTES] = "";
    if (readRemovalPattern(entry, &pattern) != 0 || appendText(path, sizeof path, folder.path) ||
        appendText(path, sizeof path, "\\"))
        return;
    size_t relative = strlen(path);
    if (appendText(path, sizeof path, pattern.path))
        return;
    size_t nameAt = strlen(path) - strlen(pattern.name);
    WCHAR way[MAX_PATH_BYTES];
    if (readWay(path, nameAt, relative, countSeparators(pattern.path, nameAt - relative), way) != 0)
        return;
    // The innermost folder of those up to the last '\' is the one removed;
    // a way of '/' alone removes none.
    int removed = pattern.folder[0] ? countSeparators(pattern.folder, strlen(pattern.folder)) : -1;
    HeldWay held(folder.held);
    const WCHAR* part = way;
    for (const WCHAR* end; (end = wcschr(part, L'\\')); part = end + 1) {
        if (!held.enter({part, (ULONG)(end - part)}, action.removesFolders && held.count() == removed))
            return;
    }
    // An entry ending in a separator names its folder only.
    if (pattern.name[0])
        actOnMatches(held, pattern, path, nameAt, relative, action, startFiles);
    // Removed only when empty; the outer folders of a deeper pattern stay.
    if (removed >= 0 && action.removesFolders) {
        held.releaseFrom(removed + 1);
        held.removeInnermost();
    }
}


void sweepList(const SweptFolder& folder, const RemovalEntry* entry, const SweepAction& action)
{
    for (; entry; entry = entry->next)
        sweepEntry(folder, entry->text, action, false);
}

}  // namespace

const SweepAction kDeleteFiles = {deleteFile, nullptr, true};

void sweepInstalledFiles(const SweptFolder& folder, const SweepAction& action)
{
    static const char* const kFixed[] = {"install.arc", "*.gid"};
    for (const char* name : kFixed)
        sweepPattern(folder, name, action);
    sweepList(folder, delfilesList, action);
}

void sweepUserFiles(const SweptFolder& folder, const SweepAction& action)
{
    sweepList(folder, delfilesUserList, action);
}

void sweepStartFiles(const SweptFolder& folder, const SweepAction& action)
{
    for (const char* name : kStartFiles)
        sweepEntry(folder, name, action, true);
}

void sweepPattern(const SweptFolder& folder, const char* entry, const SweepAction& action)
{
    sweepEntry(folder, entry, action, false);
}
