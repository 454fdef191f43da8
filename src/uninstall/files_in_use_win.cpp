#include "uninstall/files_in_use_win.h"

#include <stdlib.h>

#include "uninstall/name_list.h"

namespace {

// Open files cost the system memory (and Wine's server a descriptor each):
// past this many, a mark is taken back at once, and the removal opens the
// file again. An installation this large takes a while either way.
const int kMarkedMost = 16384;

// The check's list while it runs.
struct InUseList {
    NameList names;
    MarkedFiles* marked;
    bool keepsMarks;
    void (*afterEach)();
};

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
        if (list.keepsMarks && list.names.count == 0 && marked->handles && marked->count < kMarkedMost)
            marked->handles[marked->count++] = handle;
        else
            unmarkFile(handle);
        return;
    }
    if (!isKeptByAnother(status))
        return;
    // From the first file in use on, the user is asked, and nothing goes.
    unmarkAll(list.marked);
    addListedName(&list.names, path);
}

}  // namespace

int findFilesInUse(const SweptFolder& folder, bool userFiles, char* text, size_t size, MarkedFiles* marked,
                   void (*afterEach)())
{
    InUseList list;
    startNameList(&list.names, text, size);
    list.marked = marked;
    list.keepsMarks = true;
    list.afterEach = afterEach;
    marked->found = 0;
    const SweepAction visit = {noteIfInUse, &list, false};
    sweepInstalledFiles(folder, visit);
    if (userFiles)
        sweepUserFiles(folder, visit);
    list.keepsMarks = false;
    sweepStartFiles(folder, visit);
    return list.names.count;
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
