#include "base/codepage.h"

const char* mbNextChar(const char* p)
{
    return isAnsiLeadByte((unsigned char)*p) && p[1] ? p + 2 : p + 1;
}

char* mbNextChar(char* p)
{
    return (char*)mbNextChar((const char*)p);
}

// Only single-byte characters are compared: a lead byte, even one cut off
// by the end, never matches.
const char* mbFindByte(const char* s, int c)
{
    for (const char* p = s; *p; p = mbNextChar(p)) {
        if (!isAnsiLeadByte((unsigned char)*p) && (unsigned char)*p == (unsigned char)c)
            return p;
    }
    return nullptr;
}

char* mbFindByte(char* s, int c)
{
    return (char*)mbFindByte((const char*)s, c);
}

const char* mbFindLastByte(const char* s, int c)
{
    const char* last = nullptr;
    for (const char* hit = mbFindByte(s, c); hit; hit = mbFindByte(hit + 1, c))
        last = hit;
    return last;
}

char* mbFindLastByte(char* s, int c)
{
    return (char*)mbFindLastByte((const char*)s, c);
}

void mbLowerAscii(char* s)
{
    for (char* p = s; *p; p = mbNextChar(p)) {
        if (*p >= 'A' && *p <= 'Z')
            *p = (char)(*p + ('a' - 'A'));
    }
}
