#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "resfile/resource_opener.h"
#include "shell/report.h"

namespace {

CRITICAL_SECTION g_openerLock;
int g_lockReady;
int g_plainPathsAllowed;

void deleteOpenerLock()
{
    DeleteCriticalSection(&g_openerLock);
}

// Created on first use rather than at load so that its deletion is
// registered after COM's release and therefore runs before it.
void ensureOpenerLock()
{
    if (g_lockReady)
        return;
    InitializeCriticalSection(&g_openerLock);
    atexit(deleteOpenerLock);
    g_lockReady = 1;
}

}  // namespace

void setPlainPathsAllowed(int allowed)
{
    g_plainPathsAllowed = allowed;
}

FILE* tryOpenResourceFile(const char* name, const char* mode)
{
    EnterCriticalSection(&g_openerLock);
    FILE* stream = g_plainPathsAllowed ? fopen(name, mode) : nullptr;
    LeaveCriticalSection(&g_openerLock);
    return stream;
}

char* locateResourceFile(const char* name, char* found)
{
    char work[MAX_PATH];
    EnterCriticalSection(&g_openerLock);
    if (g_plainPathsAllowed && strlen(name) < sizeof work) {
        strcpy(work, name);
        if (FILE* stream = fopen(work, "rb")) {
            fclose(stream);
            LeaveCriticalSection(&g_openerLock);
            strcpy(found, work);
            return found;
        }
    }
    LeaveCriticalSection(&g_openerLock);
    found[0] = '\0';
    return nullptr;
}

int resourceFileExists(const char* name)
{
    ensureOpenerLock();
    char found[MAX_PATH];
    return locateResourceFile(name, found) ? 1 : 0;
}

FILE* openResourceFile(const char* name, const char* mode)
{
    ensureOpenerLock();
    for (;;) {
        if (FILE* stream = tryOpenResourceFile(name, mode))
            return stream;
        // The lock is not held here, so the box cannot block another attempt.
        reportRetryError("Ffopen : ファイル[%s]の読み込みで失敗しました", name);
    }
}
