#include <windows.h>

#include "base/codepage.h"

bool isAnsiLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != FALSE;
}

bool isAnsiShiftJis()
{
    return GetACP() == 932;
}
