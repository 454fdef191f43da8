#include "env/settings_table.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "base/codepage.h"
#include "resfile/resource_opener.h"
#include "shell/report.h"

namespace {

struct SettingEntry {
    char* key;
    char* value;
    SettingEntry* next;
};

const int kLineSize = 512;      // 511 bytes of a line and its terminator
const int kMaxLines = 400;      // lines read, skipped ones and pieces of long ones included
const int kValueReach = 99;     // separators allowed between key and value

SettingEntry* g_table;
int g_releaseRegistered;

inline bool isSeparator(unsigned char c)
{
    return c <= 0x20;
}

char* copyText(const char* text)
{
    size_t size = strlen(text) + 1;
    char* copy = (char*)allocOrReport(size);
    if (copy)
        memcpy(copy, text, size);
    return copy;
}

// Stores one key/value pair at the end of the table. When memory runs out the
// pair is dropped; allocOrReport has already told the user.
void appendSetting(const char* key, const char* value)
{
    SettingEntry* entry = (SettingEntry*)allocOrReport(sizeof(SettingEntry));
    char* keyCopy = entry ? copyText(key) : nullptr;
    char* valueCopy = keyCopy ? copyText(value) : nullptr;
    if (!valueCopy) {
        free(keyCopy);
        free(entry);
        return;
    }
    // In install.env values '|' stands for a blank; the trail byte of a
    // double-byte character such as ポ (83 7C) is not one.
    for (char* bar = mbFindByte(valueCopy, '|'); bar; bar = mbFindByte(bar + 1, '|'))
        *bar = ' ';
    entry->key = keyCopy;
    entry->value = valueCopy;
    entry->next = nullptr;

    SettingEntry** link = &g_table;
    while (*link)
        link = &(*link)->next;
    *link = entry;
}

// Splits one line (the whole zero-padded buffer) into key and value and
// stores them; lines without a value are dropped.
void storeLine(char* line)
{
    // Every separator, embedded NUL bytes included, becomes a terminator, so
    // the tokens are plain strings inside the buffer. The last byte is never
    // written by the line reading and stays 0.
    for (int i = 0; i < kLineSize; ++i) {
        if (isSeparator((unsigned char)line[i]))
            line[i] = '\0';
    }
    int keyEnd = (int)strlen(line);
    int reachEnd = keyEnd + 1 + kValueReach;
    if (reachEnd > kLineSize)
        reachEnd = kLineSize;
    for (int i = keyEnd + 1; i < reachEnd; ++i) {
        if (line[i] != '\0') {
            appendSetting(line, line + i);
            return;
        }
    }
}

}  // namespace

int readSettingsTable(const char* fileName)
{
    if (!g_releaseRegistered) {
        atexit(releaseSettingsTable);
        g_releaseRegistered = 1;
    }
    FILE* stream = openResourceFile(fileName, "rt");
    if (!stream)
        return -1;

    char line[kLineSize];
    for (int count = 0; count < kMaxLines; ++count) {
        // Zeroed first: a line may hold NUL bytes of its own, and whatever
        // follows them must not be left over from the line before.
        memset(line, 0, sizeof line);
        if (!fgets(line, sizeof line, stream))
            break;
        if (memcmp(line, "[EOF]", 5) == 0)
            break;
        unsigned char first = (unsigned char)line[0];
        if (isSeparator(first) || first == '/')
            continue;
        storeLine(line);
    }
    fclose(stream);
    return 0;
}

char* lookupSetting(const char* key, char* dest, size_t capacity, const char* defaultText)
{
    if (capacity == 0)
        return dest;
    const char* source = defaultText;
    for (SettingEntry* entry = g_table; entry; entry = entry->next) {
        if (strcmp(entry->key, key) == 0) {
            source = entry->value;
            break;
        }
    }
    // A bounded copy padded with zeros; memmove because the default may be
    // the destination itself.
    size_t length = 0;
    while (length < capacity && source[length] != '\0')
        ++length;
    memmove(dest, source, length);
    memset(dest + length, 0, capacity - length);
    dest[capacity - 1] = '\0';
    return dest;
}

void releaseSettingsTable()
{
    SettingEntry* entry = g_table;
    g_table = nullptr;
    while (entry) {
        SettingEntry* next = entry->next;
        free(entry->key);
        free(entry->value);
        free(entry);
        entry = next;
    }
}
