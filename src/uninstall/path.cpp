#include "uninstall/path.h"

#include <string.h>

#include "base/codepage.h"

namespace {

// Whether s + at starts a character, not the trail byte of one.
bool isCharBoundary(const char* s, size_t at)
{
    const char* p = s;
    while (p < s + at)
        p = mbNextChar(p);
    return p == s + at;
}

void copyPart(char* out, const char* from, size_t length)
{
    memcpy(out, from, length);
    out[length] = '\0';
}

}  // namespace

bool isDirSeparator(unsigned char c)
{
    return c == '\\' || c == '/';
}

const char* findLastSeparator(const char* path)
{
    return mbFindLastByte(path, '\\');
}

char* findLastSeparator(char* path)
{
    return mbFindLastByte(path, '\\');
}

int cutAtLastSeparator(char* path)
{
    char* sep = findLastSeparator(path);
    if (!sep || sep == path)
        return -1;
    if (sep[-1] == ':')
        sep[1] = '\0';
    else
        sep[0] = '\0';
    return 0;
}

bool isShiftJisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

char* addTrailingSeparator(char* path)
{
    size_t n = strlen(path);
    const unsigned char* p = (const unsigned char*)path;
    // Looks only at the byte before the last: a 0x5C behind a lead byte is
    // taken for the second half of a double-byte character.
    bool endsInSeparator = n > 0 && p[n - 1] == '\\' && !(n >= 2 && isShiftJisLeadByte(p[n - 2]));
    if (!endsInSeparator) {
        path[n] = '\\';
        path[n + 1] = '\0';
    }
    return path;
}

int appendText(char* buffer, size_t size, const char* text)
{
    size_t used = strlen(buffer);
    size_t add = strlen(text);
    if (used + add >= size)
        return -1;
    memcpy(buffer + used, text, add + 1);
    return 0;
}

void replaceExtension(char* out, const char* path, const char* newExtension)
{
    strcpy(out, path);
    char* dot = mbFindLastByte(out, '.');
    strcpy(dot + 1, newExtension);
}

int matchInstFolderParent(char* parent, const char* installFolder, const char* instFolder)
{
    parent[0] = '\0';
    size_t n = strlen(installFolder);
    if (n >= MAX_PATH_BYTES || !instFolder[0])
        return -1;
    memcpy(parent, installFolder, n + 1);
    char* sep = findLastSeparator(parent);
    if (sep)
        *sep = '\0';
    // The parent must end in '\' + instFolder, that '\' a real separator:
    // behind a lead byte it is the trail byte of a character, and the name
    // before it is not a whole folder name.
    size_t length = strlen(parent);
    size_t nameLength = strlen(instFolder);
    if (length <= nameLength + 1)
        return -1;
    size_t at = length - nameLength - 1;
    if (parent[at] != '\\' || memcmp(parent + at + 1, instFolder, nameLength) != 0 ||
        !isCharBoundary(parent, at))
        return -1;
    return 0;
}

bool isUserFileName(const char* name)
{
    static const char kUninstaller[] = "uninst.exe";
    char lower[512];
    size_t n = strlen(name);
    if (n >= sizeof lower)
        n = sizeof lower - 1;
    copyPart(lower, name, n);
    mbLowerAscii(lower);
    // Matched only from the start of a character, so that a trail byte such
    // as 'u' never begins a match.
    for (const char* p = lower; *p; p = mbNextChar(p)) {
        if (strncmp(p, kUninstaller, sizeof kUninstaller - 1) == 0)
            return false;
    }
    return true;
}
