#include "uninstall/file_deletion_win.h"

#include <sddl.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "base/codepage.h"
#include "uninstall/name_list.h"
#include "uninstall/path.h"

namespace {

// How often a deletion that another program refuses is tried in all, and
// how long it waits between tries.
const int kTries = 4;
const DWORD kWaitMs = 25;

// Administrators and SYSTEM alone, nothing inherited from the volume's
// root, where every user may make folders.
const char kStagingSecurity[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// The restart's folder, made when the first file needs it.
struct Staging {
    HANDLE held;
    bool tried;
    int files;   // moved into it
    int marked;  // of those, marked for the restart
    char path[MAX_PATH_BYTES];
};
Staging g_staging;

// Files left where they stood that lie directly in the install folder: the
// installation's, not the user's.
struct LeftFile {
    LeftFile* next;
    char name[1];
};
LeftFile* g_leftInFolder;
char g_leftText[900];  // room for the last box's own text besides
NameList g_left = {g_leftText, sizeof g_leftText, 0, false};

// A new folder on the volume of path, with the security above: made by
// this call (it fails on a name that exists), then held and checked to be
// a real folder.
HANDLE stagingFolder(const char* path)
{
    if (g_staging.tried)
        return g_staging.held;
    g_staging.tried = true;
    char volume[MAX_PATH_BYTES];
    PSECURITY_DESCRIPTOR security;
    if (!GetVolumePathNameA(path, volume, sizeof volume) || strlen(volume) + 20 > sizeof volume ||
        !ConvertStringSecurityDescriptorToSecurityDescriptorA(kStagingSecurity, SDDL_REVISION_1, &security, NULL))
        return NULL;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, security, FALSE};
    DWORD name = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int tries = 0; tries < 100; ++tries, ++name) {
        sprintf(g_staging.path, "%suninst-%08lx.tmp", addTrailingSeparator(volume), (unsigned long)name);
        if (createDirectory(g_staging.path, &attributes)) {
            HANDLE held = holdFolder(g_staging.path);
            if (held != INVALID_HANDLE_VALUE && isEnterableFolder(held))
                g_staging.held = held;
            else if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    LocalFree(security);
    return g_staging.held;
}

// Moves the file into the restart's folder under a number of its own and
// marks it there. -1 when it cannot be moved or marked.
int putOffToRestart(const FoundFile& file)
{
    HANDLE opened;
    if (openInFolder(file.folder, file.name, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     FILE_NON_DIRECTORY_FILE, &opened) != 0)
        return -1;
    HANDLE staging = stagingFolder(file.path);
    if (!staging) {
        CloseHandle(opened);
        return -1;
    }
    int number = ++g_staging.files;
    union {
        FILE_RENAME_INFORMATION info;
        char bytes[sizeof(FILE_RENAME_INFORMATION) + 24];
    } rename = {};
    rename.info.RootDirectory = staging;
    // The number's digits, in UTF-16, as the new name.
    WCHAR* digits = (WCHAR*)(rename.bytes + offsetof(FILE_RENAME_INFORMATION, FileName));
    int length = 0;
    for (int rest = number; rest; rest /= 10)
        ++length;
    for (int i = length, rest = number; i > 0; rest /= 10)
        digits[--i] = (WCHAR)(L'0' + rest % 10);
    rename.info.FileNameLength = 2 * length;
    IO_STATUS_BLOCK io;
    NTSTATUS status = ntSetInformationFile(opened, &io, &rename, sizeof rename, FileRenameInformation);
    CloseHandle(opened);
    char moved[MAX_PATH_BYTES + 16];
    sprintf(moved, "%s\\%d", g_staging.path, number);
    if (status != 0 || !MoveFileExA(moved, NULL, MOVEFILE_DELAY_UNTIL_REBOOT))
        return -1;
    ++g_staging.marked;
    return 0;
}

void leaveBehind(const FoundFile& file)
{
    const char* name = file.path + file.relative;
    addListedName(&g_left, name);
    if (mbFindByte(name, '\\') || mbFindByte(name, '/'))
        return;
    size_t length = strlen(name);
    LeftFile* left = (LeftFile*)malloc(sizeof(LeftFile) + length);
    if (!left)
        return;
    memcpy(left->name, name, length + 1);
    left->next = g_leftInFolder;
    g_leftInFolder = left;
}

bool isLeftBehind(const char* name)
{
    for (const LeftFile* file = g_leftInFolder; file; file = file->next) {
        if (strcmp(file->name, name) == 0)
            return true;
    }
    return false;
}

bool isDeletePending(HANDLE folder, NtName name)
{
    HANDLE opened;
    NTSTATUS status = openInFolder(folder, name, FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_NON_DIRECTORY_FILE,
                                   &opened);
    if (status == 0)
        CloseHandle(opened);
    return status == NtDeletePending;
}

}  // namespace

BOOL(WINAPI* createDirectory)(LPCSTR, LPSECURITY_ATTRIBUTES) = CreateDirectoryA;

NTSTATUS markFileForDeletion(const FoundFile& file, HANDLE* marked)
{
    NTSTATUS status = openInFolder(file.folder, file.name, DELETE | FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_NON_DIRECTORY_FILE,
                                   marked);
    if (status != 0)
        return status;
    status = setDeleteOnClose(*marked, true);
    ULONG attributes;
    if (status == NtCannotDelete && readFileAttributes(*marked, &attributes) == 0 &&
        (attributes & FILE_ATTRIBUTE_READONLY))
        status = NtAccessDenied;
    if (status != 0) {
        CloseHandle(*marked);
        *marked = NULL;
    }
    return status;
}

bool isKeptByAnother(NTSTATUS status)
{
    return status == NtSharingViolation || status == NtCannotDelete;
}

void unmarkFile(HANDLE marked)
{
    setDeleteOnClose(marked, false);
    CloseHandle(marked);
}

void deleteFoundFile(const FoundFile& file)
{
    for (int tries = 1;; ++tries) {
        HANDLE marked;
        NTSTATUS status = markFileForDeletion(file, &marked);
        if (!isKeptByAnother(status)) {
            if (marked)
                CloseHandle(marked);
            return;
        }
        if (tries == kTries)
            break;
        Sleep(kWaitMs);
    }
    if (putOffToRestart(file) != 0)
        leaveBehind(file);
}

bool finishRestartDeletions()
{
    if (!g_staging.held)
        return false;
    CloseHandle(g_staging.held);
    g_staging.held = NULL;
    if (g_staging.marked > 0)
        return MoveFileExA(g_staging.path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    RemoveDirectoryA(g_staging.path);
    return false;
}

const char* filesLeftBehind()
{
    return g_leftText;
}

int userFilesRemain(HANDLE folder)
{
    int found = 0;
    FolderListing listing(folder);
    while (listing.next()) {
        char name[MAX_PATH_BYTES];
        if (listing.attributes() & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (ansiName(listing.name(), name, sizeof name) != 0 ||
            (isUserFileName(name) && !isLeftBehind(name) && !isDeletePending(folder, listing.name())))
            found = 1;
    }
    return found;
}
