// Files that another program uses, such as the application still running
// from the install folder: found before anything is removed, so that the
// user can close it first, and put off to the next restart when one is taken
// into use after that check.
#pragma once
#include <stddef.h>

enum { IN_USE_TEXT_BYTES = 900 };  // leaves room for the box's own text

// Whether another program uses the file at path so that it cannot be
// deleted now: a running program's image, or a file open without delete
// sharing. Nothing is changed. The program's own file never counts, as the
// script removes it once the program has ended.
bool isFileInUse(const char* path);

// The files that the sweeps of folder would delete (the save files too when
// userFiles) and that are in use now, found and matched by the sweeps' own
// code: their paths relative to folder, one a line, into text (size bytes),
// at most ten and then "…". Returns how many there are.
int findFilesInUse(const char* folder, bool userFiles, char* text, size_t size);

// Marks the file at path (relative to the current directory) for deletion at
// the next restart, after whatever was marked before it.
void deleteFileAtRestart(const char* path);
// Marks the folder at path for removal at the next restart, when it is empty
// by then; mark it after the files in it.
void removeFolderAtRestart(const char* path);
// How many files have been put off to the next restart.
int filesDeletedAtRestart();
// Whether the file name, directly in the install folder, has been put off:
// it is the installation's, not the user's.
bool isDeletedAtRestart(const char* name);
