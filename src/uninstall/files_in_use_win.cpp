#include "uninstall/files_in_use_win.h"

#include <stdlib.h>
#include <string.h>

namespace {

const int kNamesShown = 10;
// Open files cost the system memory (and Wine's server a descriptor each):
// past this many, a mark is taken back at once, and the removal opens the
// file again. An installation this large takes a while either way.
const int kMarkedMost = 16384;

// The check's list while it runs.
struct InUseList {
    char* text;
    size_t size;
    int count;
    bool cut;
    MarkedFiles* marked;
    bool keepsMarks;
    void (*afterEach)();
};

// Whether path is already a line of the list: two patterns may name one file.
bool isListed(const char* text, const char* path)
{
    size_t length = strlen(path);
    for (const char* line = text; *line;) {
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

void unmarkAll(MarkedFiles* marked)
{
    while (marked->count > 0)
        unmarkFile(marked->handles[--marked->count]);
}

void noteIfInUse(const FoundFile& file, void* context)
{
    InUseList& list = *(InUseList*)context;
    if (list.afterEach)
        list.afterEach();
    const char* path = file.path + file.relative;
    HANDLE handle;
    NTSTATUS status = markFileForDeletion(file, &handle);
    if (status == 0) {
        MarkedFiles* marked = list.marked;
        ++marked->found;
        if (!marked->handles)
            marked->handles = (HANDLE*)malloc(kMarkedMost * sizeof(HANDLE));
        if (list.keepsMarks && list.count == 0 && marked->handles && marked->count < kMarkedMost)
            marked->handles[marked->count++] = handle;
        else
            unmarkFile(handle);
        return;
    }
    if (!isKeptByAnother(status) || isListed(list.text, path))
        return;
    // From the first file in use on, the user is asked, and nothing goes.
    unmarkAll(list.marked);
    ++list.count;
    // Room stays for a last line "…", which a name too long for what is
    // left brings as an eleventh one does.
    size_t used = strlen(list.text);
    bool fits = list.count <= kNamesShown && used + 1 + strlen(path) + sizeof "\n…" <= list.size;
    if (fits) {
        if (used)
            strcat(list.text, "\n");
        strcat(list.text, path);
    } else if (!list.cut) {
        strcat(list.text, used ? "\n…" : "…");
        list.cut = true;
    }
}

}  // namespace

int findFilesInUse(const SweptFolder& folder, bool userFiles, char* text, size_t size, MarkedFiles* marked,
                   void (*afterEach)())
{
    text[0] = '\0';
    marked->found = 0;
    InUseList list = {text, size, 0, false, marked, true, afterEach};
    const SweepAction visit = {noteIfInUse, &list, false};
    sweepInstalledFiles(folder, visit);
    if (userFiles)
        sweepUserFiles(folder, visit);
    list.keepsMarks = false;
    sweepStartFiles(folder, visit);
    return list.count;
}

void deleteMarkedFiles(MarkedFiles* marked, void (*afterEach)())
{
    for (int i = 0; i < marked->count; ++i) {
        CloseHandle(marked->handles[i]);
        if (afterEach)
            afterEach();
    }
    marked->count = 0;
}
