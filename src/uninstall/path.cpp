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

bool endsInDirSeparator(const char* s)
{
    const char* last = nullptr;
    for (const char* p = s; *p; p = mbNextChar(p))
        last = p;
    return last && isDirSeparator((unsigned char)*last);
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

int splitPath(const char* path, PathParts* parts)
{
    parts->drive[0] = parts->dir[0] = parts->name[0] = parts->ext[0] = '\0';
    size_t n = strlen(path);
    if (n >= MAX_PATH_BYTES)
        return -1;
    const char* start = path;
    if (n >= 2 && path[1] == ':' && !isAnsiLeadByte((unsigned char)path[0])) {
        copyPart(parts->drive, path, 2);
        start += 2;
    }
    const char* name = start;
    const char* dot = nullptr;
    for (const char* p = start; *p; p = mbNextChar(p)) {
        if (isDirSeparator((unsigned char)*p)) {
            name = p + 1;
            dot = nullptr;
        } else if (*p == '.') {
            dot = p;
        }
    }
    const char* end = path + n;
    const char* ext = dot ? dot : end;
    copyPart(parts->dir, start, name - start);
    copyPart(parts->name, name, ext - name);
    copyPart(parts->ext, ext, end - ext);
    return 0;
}

int joinPath(char* out, const char* drive, const char* dir, const char* name, const char* ext)
{
    // Built aside, so that out may be one of the parts.
    char path[MAX_PATH_BYTES] = "";
    char driveLetter[3] = {drive[0], ':', '\0'};
    bool fits = (!drive[0] || appendText(path, sizeof path, driveLetter) == 0) &&
                appendText(path, sizeof path, dir) == 0 &&
                (!dir[0] || endsInDirSeparator(dir) || appendText(path, sizeof path, "\\") == 0) &&
                appendText(path, sizeof path, name) == 0 &&
                (!ext[0] || ext[0] == '.' || appendText(path, sizeof path, ".") == 0) &&
                appendText(path, sizeof path, ext) == 0;
    if (!fits) {
        out[0] = '\0';
        return -1;
    }
    strcpy(out, path);
    return 0;
}

int replaceExtension(char* out, const char* path, const char* newExtension)
{
    PathParts parts;
    if (splitPath(path, &parts) != 0) {
        out[0] = '\0';
        return -1;
    }
    // No code page has a trail byte below 0x40, so a final '.' is a dot.
    size_t n = strlen(parts.name);
    if (n > 0 && parts.name[n - 1] == '.')
        parts.name[n - 1] = '\0';
    return joinPath(out, parts.drive, parts.dir, parts.name, newExtension);
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
