#include "base/codepage.h"

const char* mbFindByte(const char* s, int c)
{
    const unsigned char want = (unsigned char)c;
    for (const unsigned char* p = (const unsigned char*)s; *p; ++p) {
        if (isAnsiLeadByte(*p)) {
            if (p[1] == 0)
                break;  // a lone lead byte at the end ends the string
            ++p;
            continue;
        }
        if (*p == want)
            return (const char*)p;
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
    for (unsigned char* p = (unsigned char*)s; *p; ++p) {
        if (isAnsiLeadByte(*p)) {
            if (p[1] == 0)
                break;
            ++p;
            continue;
        }
        if (*p >= 'A' && *p <= 'Z')
            *p = (unsigned char)(*p + ('a' - 'A'));
    }
}
