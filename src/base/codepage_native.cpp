#include "base/codepage.h"

// Off Windows there is no system code page to ask: the portable core is
// tested against code page 932, the one the program is made for.
bool isAnsiLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool isAnsiShiftJis()
{
    return true;
}
