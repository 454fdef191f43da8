// Path tools of the uninstall engine. Paths are byte strings in the ANSI code
// page, in buffers of MAX_PATH_BYTES (at most 259 bytes of path). Every
// search for a separator walks character by character, so a trail byte 0x5C
// is never taken for one.
#pragma once
#include <stddef.h>

enum { MAX_PATH_BYTES = 260 };

// Whether c separates folders: a backslash or a slash, which the platform
// reads alike. Only for a byte that starts a character.
bool isDirSeparator(unsigned char c);

// The last real '\' of path (a trail byte 0x5C is never one), or nullptr.
const char* findLastSeparator(const char* path);
char* findLastSeparator(char* path);

// Cuts path to its folder at the last separator: a separator right after a
// drive colon stays (X:\), otherwise the separator becomes the terminator.
// 0 when cut; -1 when path has no separator or it is the first byte
// (path unchanged).
int cutAtLastSeparator(char* path);

// Lead bytes of Shift-JIS by a fixed table (0x81-0x9F, 0xE0-0xFC),
// whatever the system's code page.
bool isShiftJisLeadByte(unsigned char c);

// Makes path (with room for one more byte) end in a real '\' and returns it.
char* addTrailingSeparator(char* path);

// Appends text to the string in buffer (size bytes). -1, buffer unchanged,
// when the result would not fit.
int appendText(char* buffer, size_t size, const char* text);

// The four parts of a path. drive is "X:" or empty; dir keeps its last
// separator ('\' or '/'); ext keeps its dot.
struct PathParts {
    char drive[3];
    char dir[MAX_PATH_BYTES];
    char name[MAX_PATH_BYTES];
    char ext[MAX_PATH_BYTES];
};

// Splits path into its parts. -1 (all parts empty) when path is longer
// than a path buffer holds.
int splitPath(const char* path, PathParts* parts);

// Joins the parts into out (MAX_PATH_BYTES): drive letter and colon, dir
// with a '\' added when it lacks a separator, name, ext with a dot added
// when it lacks one. Any part may be empty. -1 (out empty) when the path
// would not fit; out may be one of the inputs.
int joinPath(char* out, const char* drive, const char* dir, const char* name, const char* ext);

// out = path with its extension replaced by newExtension (a dot put before
// it unless it has one); a dot that ends the name goes first. -1 (out
// empty) when it would not fit.
int replaceExtension(char* out, const char* path, const char* newExtension);

// The parent of installFolder and whether its last folder name is
// instFolder (case-sensitive, whole name). parent (MAX_PATH_BYTES) is the
// folder cut at its last separator, a drive colon not excepted. 0 when
// the name matches (parent then holds the folder to remove), else -1.
int matchInstFolderParent(char* parent, const char* installFolder, const char* instFolder);

// Whether a file left in the install folder is the user's: true unless its
// name holds "uninst.exe" in any letter case.
bool isUserFileName(const char* name);
