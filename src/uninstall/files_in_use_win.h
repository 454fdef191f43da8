// Files that another program uses, such as the application still running
// from the install folder: found before anything is removed, so that the
// user can close it first.
#pragma once
#include <stddef.h>

#include "uninstall/folder_sweep_win.h"

enum { IN_USE_TEXT_BYTES = 900 };  // leaves room for the box's own text

// Files the check found free to go, left marked for deletion with their
// handles open: no program can take one into use before the removal (a
// file marked so can no longer be opened), and the removal needs no second
// open of it. Sixteen thousand at the most; the check unmarks the others.
struct MarkedFiles {
    HANDLE* handles;
    int count;
    // The files the check found free to go, marked or not: what the
    // removal has ahead of it.
    int found;
};

// The files that the sweeps of folder would delete (the save files too when
// userFiles) and that are in use now, found and matched by the sweeps' own
// code: their paths relative to folder, one a line, into text (size bytes),
// at most ten and then "…". Returns how many there are. When there are
// none, marked holds the files marked for deletion; otherwise every mark
// has been taken back. The files the program needs to start are looked at
// too, but never left marked: a program ended after the check must find
// them again. afterEach, unless null, follows every file looked at.
int findFilesInUse(const SweptFolder& folder, bool userFiles, char* text, size_t size, MarkedFiles* marked,
                   void (*afterEach)());
// Deletes the marked files, as their handles close; afterEach, unless null,
// follows each.
void deleteMarkedFiles(MarkedFiles* marked, void (*afterEach)());
