// The [delfiles], [delfiles_user], [ini] and [reg] sections of install.env.
#pragma once
#include <stdio.h>

struct RemovalEntry {
    char* text;
    RemovalEntry* next;
};

// The reader's state: which section's lines are being collected.
enum RemovalSection {
    SectionNone = 0,
    SectionDelfiles = 1,
    SectionDelfilesUser = 2,
    SectionIni = 3,
    SectionReg = 4,
};

extern RemovalEntry* delfilesList;
extern RemovalEntry* delfilesUserList;
extern RemovalEntry* iniList;
extern RemovalEntry* regList;

// Returns only when the file was read with no section left open; otherwise
// reports and ends the process with exit code -1.
void readRemovalLists(const char* fileName);
// Reads the section lines of an open stream into the lists (not closing it)
// and returns the section still open at the end, SectionNone when all were
// closed. readRemovalLists reports and exits on anything else.
RemovalSection readRemovalSections(FILE* stream);
// "delfiles", "delfiles_user", "ini" or "reg"; "" for SectionNone.
const char* removalSectionName(RemovalSection section);
char* readTrimmedLine(char* buffer, int capacity, FILE* stream);
void clearRemovalList(RemovalEntry** list);
