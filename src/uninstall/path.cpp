#include "uninstall/path.h"

#include <string.h>

#include "base/codepage.h"

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
