// The names a message box lists, one a line: each once however often it
// comes, ten at the most, then "…", always within the text's room.
#pragma once
#include <stddef.h>

struct NameList {
    char* text;
    size_t size;  // bytes of text, terminator included
    int count;    // names added, each once, those past the tenth too
    bool cut;     // "…" ends the text
};

// An empty list written into text (size bytes).
void startNameList(NameList* list, char* text, size_t size);
// Adds name unless it is listed already.
void addListedName(NameList* list, const char* name);
