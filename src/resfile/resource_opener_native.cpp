// Off Windows the opener has no lock to take and no box to show: a file that
// does not open is reported once, and the process ends as after Cancel.
#include <string.h>

#include "resfile/resource_opener.h"
#include "shell/report.h"

namespace {
int g_plainPathsAllowed;
}

void setPlainPathsAllowed(int allowed)
{
    g_plainPathsAllowed = allowed;
}

FILE* tryOpenResourceFile(const char* name, const char* mode)
{
    return g_plainPathsAllowed ? fopen(name, mode) : nullptr;
}

char* locateResourceFile(const char* name, char* found)
{
    if (strlen(name) < 260) {
        if (FILE* stream = tryOpenResourceFile(name, "rb")) {
            fclose(stream);
            strcpy(found, name);
            return found;
        }
    }
    found[0] = '\0';
    return nullptr;
}

int resourceFileExists(const char* name)
{
    char found[260];
    return locateResourceFile(name, found) ? 1 : 0;
}

FILE* openResourceFile(const char* name, const char* mode)
{
    FILE* stream = tryOpenResourceFile(name, mode);
    if (!stream)
        reportRetryError("Ffopen : ファイル[%s]の読み込みで失敗しました", name);
    return stream;
}
