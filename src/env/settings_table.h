// The key/value lines of install.env.
#pragma once
#include <stddef.h>

// Reads the file (through the resource opener, mode "rt") into the table.
// 0 when the file was read, -1 when no stream could be had.
int readSettingsTable(const char* fileName);
// Copies the first value stored under key (or defaultText) into dest, cut to
// capacity - 1 bytes and terminated. defaultText may be dest itself.
char* lookupSetting(const char* key, char* dest, size_t capacity, const char* defaultText);
void releaseSettingsTable();
