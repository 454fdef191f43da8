// Byte strings in the system's ANSI code page (Shift-JIS on the systems the
// program is made for). Every search here walks character by character, so
// the trail byte of a double-byte character (0x5C in ソ, 0x7C in ポ) is never
// taken for the single-byte character it happens to equal.
#pragma once

// Lead-byte rule of the ANSI code page: the system's own test in the Windows
// build, the code page 932 table in the native build.
bool isAnsiLeadByte(unsigned char c);

// Whether the ANSI code page is Shift-JIS (932): the system's own answer in
// the Windows build, always so in the native build.
bool isAnsiShiftJis();

// The character after the one at p: two bytes on for a lead byte with its
// trail byte, one otherwise (a lead byte cut off by the end included).
const char* mbNextChar(const char* p);
char* mbNextChar(char* p);

// First occurrence of the single-byte character c in s, or nullptr.
const char* mbFindByte(const char* s, int c);
char* mbFindByte(char* s, int c);

// Last occurrence of the single-byte character c in s, or nullptr.
const char* mbFindLastByte(const char* s, int c);
char* mbFindLastByte(char* s, int c);

// Lower-cases the ASCII letters of s in place; double-byte characters are
// stepped over whole, so no trail byte is ever changed.
void mbLowerAscii(char* s);
