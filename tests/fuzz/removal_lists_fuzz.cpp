// install.env as the removal-list reader sees it. The section reading is
// fuzzed on its own: its caller ends the process on an unterminated section.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "base/codepage.h"
#include "env/removal_lists.h"
#include "native/support/temp_file.h"
#include "uninstall/removal_pattern.h"

namespace {

// Every stored line is non-empty, fits the line buffer and has no trailing
// separator. An entry the sweep takes has a name without separators, and
// the matcher stays in its strings whatever it meets on either side.
void checkList(RemovalEntry** list)
{
    for (const RemovalEntry* entry = *list; entry; entry = entry->next) {
        size_t length = strlen(entry->text);
        if (length == 0 || length > 511 || (unsigned char)entry->text[length - 1] <= 0x20)
            abort();
        RemovalPattern pattern;
        if (readRemovalPattern(entry->text, &pattern) == 0 &&
            (mbFindByte(pattern.name, '\\') || mbFindByte(pattern.name, '/') || strlen(pattern.path) > length))
            abort();
        matchesLongName(entry->text, pattern.name);
        matchesLongName(pattern.name, entry->text);
    }
    clearRemovalList(list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TempFile file(data, size);
    FILE* stream = fopen(file.path(), "rt");
    if (!stream)
        abort();
    RemovalSection open = readRemovalSections(stream);
    fclose(stream);
    if (open < SectionNone || open > SectionReg)
        abort();
    removalSectionName(open);

    checkList(&delfilesList);
    checkList(&delfilesUserList);
    checkList(&iniList);
    checkList(&regList);
    return 0;
}
