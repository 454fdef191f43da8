#include "uninstall/file_deletion_win.h"

#include <stdlib.h>
#include <string.h>

#include "base/codepage.h"

namespace {

// How often a deletion that another program refuses is tried in all, and
// how long it waits between tries.
const int kTries = 4;
const DWORD kWaitMs = 25;

// Files put off to the next restart that lie directly in the install folder.
struct LaterFile {
    LaterFile* next;
    char name[1];
};
LaterFile* g_laterFiles;
int g_laterCount;

void deleteFileAtRestart(const FoundFile& file)
{
    if (!MoveFileExA(file.path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT))
        return;
    ++g_laterCount;
    const char* name = file.path + file.relative;
    if (mbFindByte(name, '\\') || mbFindByte(name, '/'))
        return;
    size_t length = strlen(name);
    LaterFile* later = (LaterFile*)malloc(sizeof(LaterFile) + length);
    if (!later)
        return;
    memcpy(later->name, name, length + 1);
    later->next = g_laterFiles;
    g_laterFiles = later;
}

}  // namespace

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
    deleteFileAtRestart(file);
}

void removeFolderAtRestart(const char* path)
{
    MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}

int filesDeletedAtRestart()
{
    return g_laterCount;
}

bool isDeletedAtRestart(const char* name)
{
    for (const LaterFile* file = g_laterFiles; file; file = file->next) {
        if (strcmp(file->name, name) == 0)
            return true;
    }
    return false;
}
