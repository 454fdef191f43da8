// The rules a found file's long name must meet to be deleted: the native
// tier checks the matcher against them, the Win32 tier checks the system's
// own search where it agrees (likeSearch).
#pragma once

struct LongNameRule {
    const char *pattern, *name;
    bool matches;
    bool likeSearch;  // false: the search also matches the short alias, or Windows' rule is laxer
};

const LongNameRule kLongNameRules[] = {
    {"*.dat", "x.dat", true, true},
    {"*.dat", "x.data", false, false},  // alias X~1.DAT
    {"*.dat", "longname.datx", false, false},
    {"?.ini", "b.ini", true, true},
    {"?.ini", "ab.ini", false, true},
    {"?.ini", ".ini", false, false},     // Windows lets '?' match nothing before a dot
    {"noext?", "noext", false, false},   // and at the end
    {"noex?", "noext", true, true},
    {"a?c", "a.c", false, false},        // '?' is never a dot (Wine says otherwise)
    {"X.DAT", "x.dat", true, true},
    {"*.*", "noext", true, true},
    {"*.*", "a.b.c", true, true},
    {"*.", "noext", true, true},
    {"*.", "x.dat", false, false},       // Wine matches every name
    {"a.*", "a", true, true},
    {"a.*", "a.b.c", true, true},
    {"*.c", "a.b.c", true, true},
    {"*.b", "a.b.c", false, true},
    {"ａ*", "Ａ.txt", true, true},
    {"A*", "Ａ.txt", false, true},       // full-width is not half-width
    {"ω*", "Ω.txt", true, true},
    {"я*", "Я.txt", true, true},         // past the gap at 0x847F
    {"ｚαанож*", "ＺΑАНОЖ.txt", true, true},  // the other ends of the four ranges
    {"\x84\x7F.txt", "О.txt", false, false},  // 84 7F is no character: no letter
    {"\x84\x7F.txt", "Н.txt", false, false},  // on either side of the gap
    {"\x84\x6E.txt", "─.txt", false, false},  // nor a line past the letters
    {"*ア", "イ", false, true},                 // a last character is two bytes
    {"za{*", "ZA{.txt", true, true},
    {"{}*", "[].txt", false, true},           // only letters have a case
    {"a**", "a", true, true},
    {"a.*", "ab", false, true},
    {"a..", "a", false, false},
    {"Ж*", "ж.txt", true, true},
    {"?.txt", "表.txt", true, true},     // trail byte 0x5C
    {"??.txt", "表.txt", false, true},
    {"*ソ.txt", "表ソ.txt", true, true},
    {"*ポ*", "ポ.txt", true, true},      // trail byte 0x7C
    {"*A.txt", "ア.txt", false, true},   // ア is 83 41: its trail byte is an 'A'
    {"ア*", "ヂ.txt", false, true},      // ヂ is 83 61: trail bytes keep their case
};
