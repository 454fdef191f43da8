// One entry of [delfiles] or [delfiles_user], read once into what the sweep
// needs: the path to search, the name every found file must match, the
// folder to remove, or why the entry is refused. envcheck reads entries
// through the same record, so that it can never judge an entry otherwise
// than the program does.
#pragma once

#include "uninstall/path.h"

enum PatternVerdict {
    PatternSwept,
    PatternTooLong,          // longer than a path buffer holds
    PatternBrokenCharacter,  // a lead byte without its trail byte
    PatternColon,            // a drive, a stream or a device
    PatternRooted,           // a leading '\' or '/': the drive root, a network path
    PatternDotsOnly,         // a part of dots and blanks only: ".." and its disguises
    PatternDeviceName,       // a part naming a device (CON, NUL, COM1...)
};

struct RemovalPattern {
    PatternVerdict verdict;
    // The entry with each run of separators made one: '\' when the run holds
    // one, else '/'.
    char path[MAX_PATH_BYTES];
    // The last part of path, which every found file's long name must match;
    // empty when the entry ends in a separator and names a folder only.
    char name[MAX_PATH_BYTES];
    // path up to its last '\': the folder removed, when empty, after the
    // files; empty when path holds no '\'.
    char folder[MAX_PATH_BYTES];
};

// Reads entry into pattern. 0 when it is swept; -1 when it is refused
// (verdict says why; path, name and folder are then empty).
int readRemovalPattern(const char* entry, RemovalPattern* pattern);
