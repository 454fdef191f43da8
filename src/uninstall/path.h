// Path tools of the uninstall engine. Paths are byte strings in the ANSI code
// page, in buffers of MAX_PATH_BYTES (at most 259 bytes of path).
#pragma once
#include <stddef.h>

enum { MAX_PATH_BYTES = 260 };

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
