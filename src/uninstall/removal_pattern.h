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

// Whether a long file name matches a search name as Windows' own search
// matches long names (it matches the short 8.3 aliases too, which is why a
// found file is asked here again). The name is read as the system reads an
// "A" search pattern: its final dots and blanks dropped ("a.." finds "a",
// "abc." only "abc"); '?' one character other than a dot, or nothing at a
// dot or at the end of the name ("a?.txt" finds "a.txt", "save??.dat"
// "save.dat", not "a?c" "a.c"); '*' any run of characters, but before a dot,
// and at the end of a name that ended in a dot, never the name's last dot
// ("*.b" does not find "a.b.c", "*." finds the names without a dot); a dot
// before '*' or '?' a dot or the end of the name ("a.*" finds "a" and
// "a.txt", "*.*" every name). A double-byte character counts as one.
// Letter case: ASCII letters, and in code page 932 also the full-width Latin,
// the Greek and the Cyrillic letters, which the file system folds as well.
// A pattern too long to be a name matches nothing.
bool matchesLongName(const char* pattern, const char* name);

// Whether a name that a search handed back is one plain file name, to be
// used whole: none of \ / : * ? " < > | or control bytes (a best-fit
// conversion turns a yen sign into '\' and an unknown character into '?'),
// no broken double-byte character, not dots and blanks only, and no final
// dot or blank, which the system would drop and so name another file.
bool isPlainFileName(const char* name);

// Whether the sweep enters a folder whose find record carries this reparse
// tag: not when the tag is a name surrogate (junction, mount point, symbolic
// link), which leads elsewhere, nor when it is one of the reserved values
// that no reparse point carries; cloud placeholders, deduplicated folders
// and the other reparse points are ordinary folders here.
bool entersReparseFolder(unsigned long tag);
