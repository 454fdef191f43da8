// The machine-wide registry view of the program under test: a 32-bit
// program on 64-bit Windows sees HKLM\Software through WOW6432Node. Test
// programs are built for the program's processor, so this is their own
// default view too; naming it keeps every machine-wide check in that view
// whatever the process, and names the other one, which must stay untouched.
#pragma once
#include <windows.h>

const REGSAM kProgramView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
const REGSAM kOtherView = sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
