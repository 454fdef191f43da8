// Deleting files by pattern inside the install folder, and the subfolders
// the patterns name once they are empty. Every folder is reached from the
// one above it through held handles, the install folder first.
#pragma once
#include <windows.h>

#include "uninstall/file_deletion_win.h"

// The install folder as the sweeps work in it: its path, and a handle from
// holdFolder that the caller keeps open while they work.
struct SweptFolder {
    const char* path;
    HANDLE held;
};

// What a sweep does with each file it finds and matches, and whether it
// also removes the patterns' folders once their files are dealt with.
struct SweepAction {
    void (*onFile)(const FoundFile& file, void* context);
    void* context;
    bool removesFolders;
};
// The removal itself: each file deleted, each pattern's folder removed.
extern const SweepAction kDeleteFiles;

// The fixed files of an installation and every [delfiles] entry.
void sweepInstalledFiles(const SweptFolder& folder, const SweepAction& action);
// The files the program needs to start, install.env and then the picture
// insttscr.rct, which every other sweep passes over: an uninstall cut short
// before this sweep can be started again from the folder and finished.
void sweepStartFiles(const SweptFolder& folder, const SweepAction& action);
// Every [delfiles_user] entry.
void sweepUserFiles(const SweptFolder& folder, const SweepAction& action);
// The files matching entry (relative to the folder), then the innermost
// subfolder it names. Each folder on the way is opened from the one above
// it and held until its files are dealt with. An entry that is refused,
// passes through a junction, mount point or symbolic link or a folder that
// cannot be held, or does not fit a path buffer is left alone altogether.
// A file is matched by its long name only, and only when that name is a
// plain name in the ANSI code page, converted exactly: a name the pattern's
// bytes cannot spell is never touched. The program's own file is passed
// over: the script removes it once the program has ended; so are the files
// it needs to start, whatever the entry.
void sweepPattern(const SweptFolder& folder, const char* entry, const SweepAction& action);
