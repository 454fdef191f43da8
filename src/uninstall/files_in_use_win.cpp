#include "uninstall/files_in_use_win.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "base/codepage.h"
#include "shell/startup.h"
#include "uninstall/folder_sweep_win.h"
#include "uninstall/path.h"

namespace {

const int kNamesShown = 10;

// The check's list while it runs.
char* g_text;
size_t g_textSize;
int g_inUse;
bool g_cut;

// Files put off to the next restart that lie directly in the install folder.
struct LaterFile {
    LaterFile* next;
    char name[1];
};
LaterFile* g_laterFiles;
int g_laterCount;

// Whether path, as the sweep finds it in the install folder, is the running
// program's own file: the name a search gives back for the program's path is
// its long name, however the program was started, and holds no separator, so
// no path into a subfolder equals it.
bool isProgramFile(const char* path)
{
    char program[MAX_PATH_BYTES];
    if (programPath(program) != 0)
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(program, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return strcmp(found.cFileName, path) == 0;
}

// Whether path is already a line of the list: two patterns may name one file.
bool isListed(const char* path)
{
    size_t length = strlen(path);
    for (const char* line = g_text; *line;) {
        const char* end = strchr(line, '\n');
        size_t lineLength = end ? (size_t)(end - line) : strlen(line);
        if (lineLength == length && memcmp(line, path, length) == 0)
            return true;
        if (!end)
            break;
        line = end + 1;
    }
    return false;
}

void noteIfInUse(const char* path)
{
    if (!isFileInUse(path) || isListed(path))
        return;
    ++g_inUse;
    // Room stays for a last line "…", which a name too long for what is
    // left brings as an eleventh one does.
    size_t used = strlen(g_text);
    bool fits = g_inUse <= kNamesShown && used + 1 + strlen(path) + sizeof "\n…" <= g_textSize;
    if (fits) {
        if (used)
            strcat(g_text, "\n");
        strcat(g_text, path);
    } else if (!g_cut) {
        strcat(g_text, used ? "\n…" : "…");
        g_cut = true;
    }
}

}  // namespace

bool isFileInUse(const char* path)
{
    // A running program's image refuses write access (it can yet be
    // renamed); a file open without delete sharing refuses delete access.
    // Any other refusal, such as a read-only file's, is no one's use.
    HANDLE file = CreateFileA(path, GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION && !isProgramFile(path);
}

int findFilesInUse(const char* folder, bool userFiles, char* text, size_t size)
{
    text[0] = '\0';
    g_text = text;
    g_textSize = size;
    g_inUse = 0;
    g_cut = false;
    visitSweptFiles(folder, userFiles, noteIfInUse);
    return g_inUse;
}

void deleteFileAtRestart(const char* path)
{
    if (!MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT))
        return;
    ++g_laterCount;
    if (mbFindByte(path, '\\') || mbFindByte(path, '/'))
        return;
    size_t length = strlen(path);
    LaterFile* file = (LaterFile*)malloc(sizeof(LaterFile) + length);
    if (!file)
        return;
    memcpy(file->name, path, length + 1);
    file->next = g_laterFiles;
    g_laterFiles = file;
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
