// The one way the program opens its own data files (install.env,
// insttscr.rct): by their plain names, relative to the current directory,
// with a Retry/Cancel box that repeats the open until it succeeds.
#pragma once
#include <stdio.h>

void setPlainPathsAllowed(int allowed);
// 1 when the file can be opened for reading, else 0. Shows nothing.
int resourceFileExists(const char* name);
// Never returns without a stream: Cancel in the retry box ends the process.
FILE* openResourceFile(const char* name, const char* mode);
// One attempt; nullptr when the file did not open.
FILE* tryOpenResourceFile(const char* name, const char* mode);
// Copies the name that opened into found (260 bytes) and returns found, or
// empties found and returns nullptr.
char* locateResourceFile(const char* name, char* found);
