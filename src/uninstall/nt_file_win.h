// The system's native file calls (ntdll), through which the removal works
// on folders it holds open: a file or folder is opened relative to the
// handle of the folder that holds it, never by a path that is looked up
// again, so nothing another user swaps into a path (a junction, a mount
// point, even set in place on a held folder) can lead the removal elsewhere.
// They exist from Windows XP on and are taken from ntdll at run time, so the
// program imports system DLLs only.
#pragma once
#include <windows.h>
#include <winternl.h>

// The outcomes the removal tells apart (the system's status values).
enum : NTSTATUS {
    NtNoMoreFiles = (NTSTATUS)0x80000006,
    NtInvalidParameter = (NTSTATUS)0xC000000D,
    NtAccessDenied = (NTSTATUS)0xC0000022,
    NtDeletePending = (NTSTATUS)0xC0000056,
    NtSharingViolation = (NTSTATUS)0xC0000043,
    NtCannotDelete = (NTSTATUS)0xC0000121,
};

typedef NTSTATUS(NTAPI* NtOpenFileCall)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, ULONG, ULONG);
typedef NTSTATUS(NTAPI* NtQueryDirectoryFileCall)(HANDLE, HANDLE, PVOID, PVOID, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                  FILE_INFORMATION_CLASS, BOOLEAN, PUNICODE_STRING, BOOLEAN);
typedef NTSTATUS(NTAPI* NtFileInformationCall)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);

// The calls themselves; tests put their own in their place to show what
// Wine cannot (a file system without reparse tags, a mapped file, a
// delete-pending name).
extern NtOpenFileCall ntOpenFile;
extern NtQueryDirectoryFileCall ntQueryDirectoryFile;
extern NtFileInformationCall ntQueryInformationFile;
extern NtFileInformationCall ntSetInformationFile;

// A name within a folder, in UTF-16 as the file system has it.
struct NtName {
    const WCHAR* text;
    ULONG length;  // in WCHARs
};

// Opens the folder at path so that it can be neither renamed, removed nor
// replaced until the handle is closed, and on Windows neither can any
// folder above it; a link is held itself, not what it leads to. Where
// another program holds it for deletion, it is opened all the same.
// INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE holdFolder(const char* path);

// The name in the ANSI code page into out (size bytes), exactly: -1 when
// a character has no exact form there (the system would give a look-alike
// or '?') or the name does not fit.
int ansiName(NtName name, char* out, size_t size);

// Opens name relative to the open folder (an empty name: the folder itself
// again), in any letter case, a link itself rather than what it leads to;
// options as NtOpenFile's (FILE_DIRECTORY_FILE, FILE_NON_DIRECTORY_FILE).
NTSTATUS openInFolder(HANDLE folder, NtName name, ACCESS_MASK access, ULONG share, ULONG options, HANDLE* opened);
// The attributes of an open file, by a class every file system has.
NTSTATUS readFileAttributes(HANDLE file, ULONG* attributes);
// Whether an open folder may be entered: a folder, and no junction, mount
// point or symbolic link. The reparse tag is asked for only when there is
// one: FAT and exFAT have no tags, and refuse the question.
bool isEnterableFolder(HANDLE folder);
// Marks the open file (or empty folder) for deletion when its last handle
// closes, or takes the mark back.
NTSTATUS setDeleteOnClose(HANDLE file, bool on);

// The entries of an open folder, read in batches through a handle of its
// own: a folder handle keeps the first name it was asked about, so the
// folder's held handle is never asked.
class FolderListing {
public:
    // Every entry, or only those named name.
    explicit FolderListing(HANDLE folder, const NtName* name = nullptr);
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // The next entry, "." and ".." included; false when there is none.
    bool next();
    NtName name() const { return {entry_->FileName, entry_->FileNameLength / 2}; }
    ULONG attributes() const { return entry_->FileAttributes; }
    // The entry's reparse tag, where its attributes say it has one.
    ULONG reparseTag() const { return entry_->EaSize; }

private:
    HANDLE handle_;
    const NtName* filter_;
    bool first_;
    const FILE_FULL_DIR_INFORMATION* entry_;
    // Keeps the entries aligned as the system writes them.
    LONGLONG buffer_[2048];
};
