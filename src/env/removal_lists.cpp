#include "env/removal_lists.h"

#include <stdlib.h>
#include <string.h>

#include "shell/report.h"

RemovalEntry* delfilesList;
RemovalEntry* delfilesUserList;
RemovalEntry* iniList;
RemovalEntry* regList;

namespace {

struct SectionHeader {
    const char* prefix;
    RemovalSection section;
};

const SectionHeader kHeaders[] = {
    {"[delfiles]", SectionDelfiles},
    {"[delfiles_user]", SectionDelfilesUser},
    {"[ini]", SectionIni},
    {"[reg]", SectionReg},
};

bool startsWith(const char* line, const char* prefix)
{
    return strncmp(line, prefix, strlen(prefix)) == 0;
}

RemovalEntry** sectionList(RemovalSection section)
{
    switch (section) {
    case SectionDelfiles:
        return &delfilesList;
    case SectionDelfilesUser:
        return &delfilesUserList;
    case SectionIni:
        return &iniList;
    case SectionReg:
        return &regList;
    default:
        return nullptr;
    }
}

// Fills the empty link slot with a new entry and returns the slot after it.
// Without memory the line is dropped (allocOrReport has told the user) and
// the slot is handed back unchanged.
RemovalEntry** linkEntry(RemovalEntry** slot, const char* text)
{
    size_t size = strlen(text) + 1;
    RemovalEntry* entry = (RemovalEntry*)allocOrReport(sizeof(RemovalEntry));
    char* copy = entry ? (char*)allocOrReport(size) : nullptr;
    if (!copy) {
        free(entry);
        return slot;
    }
    memcpy(copy, text, size);
    entry->text = copy;
    entry->next = nullptr;
    *slot = entry;
    return &entry->next;
}

}  // namespace

const char* removalSectionName(RemovalSection section)
{
    switch (section) {
    case SectionDelfiles:
        return "delfiles";
    case SectionDelfilesUser:
        return "delfiles_user";
    case SectionIni:
        return "ini";
    case SectionReg:
        return "reg";
    default:
        return "";
    }
}

char* readTrimmedLine(char* buffer, int capacity, FILE* stream)
{
    // Fewer than two bytes hold no line, and fgets would never move on.
    if (capacity < 2 || !fgets(buffer, capacity, stream))
        return nullptr;
    size_t length = strlen(buffer);
    while (length > 0 && (unsigned char)buffer[length - 1] <= 0x20)
        buffer[--length] = '\0';
    return buffer;
}

void clearRemovalList(RemovalEntry** list)
{
    RemovalEntry* entry = *list;
    *list = nullptr;
    while (entry) {
        RemovalEntry* next = entry->next;
        free(entry->text);
        free(entry);
        entry = next;
    }
}

RemovalSection readRemovalSections(FILE* stream)
{
    RemovalSection section = SectionNone;
    // The open section's last link, so that long lists grow in constant time.
    RemovalEntry** tail = nullptr;
    char line[512];
    while (readTrimmedLine(line, sizeof line, stream)) {
        if (line[0] == '\0' || startsWith(line, "//") || startsWith(line, ";"))
            continue;
        if (startsWith(line, "EOF"))
            break;
        if (startsWith(line, "-")) {
            section = SectionNone;
            tail = nullptr;
            continue;
        }
        bool isHeader = false;
        for (const SectionHeader& header : kHeaders) {
            if (startsWith(line, header.prefix)) {
                section = header.section;
                tail = sectionList(section);
                clearRemovalList(tail);
                isHeader = true;
                break;
            }
        }
        if (!isHeader && tail)
            tail = linkEntry(tail, line);
    }
    return section;
}

void readRemovalLists(const char* fileName)
{
    FILE* stream = fopen(fileName, "rt");
    if (!stream) {
        reportRetryError("[%s]ファイルを開けませんでした。", fileName);
        exit(-1);
    }
    RemovalSection open = readRemovalSections(stream);
    if (open == SectionNone) {
        fclose(stream);
        return;
    }
    // The message names 設定.env whatever the file is called.
    reportRetryError("[設定.env]の[%s]が終了していません", removalSectionName(open));
    exit(-1);
}
