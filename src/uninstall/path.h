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

// out (MAX_PATH_BYTES) = path, a file name with an extension, with that
// extension replaced by newExtension (given without its dot); path and the
// new extension must fit, as the script's path and "pif" do.
void replaceExtension(char* out, const char* path, const char* newExtension);

// The parent of installFolder and whether its last folder name is
// instFolder (case-sensitive, whole name). parent (MAX_PATH_BYTES) is the
// folder cut at its last separator, a drive colon not excepted. 0 when
// the name matches (parent then holds the folder to remove), else -1.
int matchInstFolderParent(char* parent, const char* installFolder, const char* instFolder);

// Whether a file left in the install folder is the user's: true unless its
// name holds "uninst.exe" in any letter case.
bool isUserFileName(const char* name);
