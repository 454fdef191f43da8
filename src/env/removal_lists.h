// The [delfiles], [delfiles_user], [ini] and [reg] sections of install.env.
#pragma once
#include <stdio.h>

struct RemovalEntry {
    char* text;
    RemovalEntry* next;
};

extern RemovalEntry* delfilesList;
extern RemovalEntry* delfilesUserList;
extern RemovalEntry* iniList;
extern RemovalEntry* regList;

// Returns only when the file was read with no section left open; otherwise
// reports and ends the process with exit code -1.
void readRemovalLists(const char* fileName);
char* readTrimmedLine(char* buffer, int capacity, FILE* stream);
void clearRemovalList(RemovalEntry** list);
void appendRemovalEntry(RemovalEntry** list, const char* text);
