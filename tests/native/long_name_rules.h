// The rules a found file's long name must meet to be deleted, as Windows'
// own search reads a pattern for long names: the native tier checks the
// matcher against them, and the Win32 tier again where the system's code
// page decides whether full-width letters fold.
#pragma once

struct LongNameRule {
    const char *pattern, *name;
    bool matches;
};

const LongNameRule kLongNameRules[] = {
    {"*.dat", "x.dat", true},
    {"*.dat", "x.data", false},  // alias X~1.DAT
    {"X.DAT", "x.dat", true},
    // '?' is one character other than a dot, or nothing at a dot or at the
    // end. Wine's '?' is always one character, and may be a dot.
    {"?.ini", "b.ini", true},
    {"?.ini", "ab.ini", false},
    {"?.ini", ".ini", true},
    {"a?.txt", "a.txt", true},
    {"save??.dat", "save1.dat", true},
    {"save??.dat", "save.dat", true},
    {"*.htm?", "a.htm", true},
    {"noext?", "noext", true},
    {"noext??", "noext", true},
    {"noex?", "noext", true},
    {"a?c", "a.c", false},
    // A '*' before a dot, or ending a name that ended in a dot, never takes
    // in the name's last dot; earlier dots it may. A dot before '*' or '?'
    // is a dot or the end.
    {"*.c", "a.b.c", true},
    {"*.b", "a.b.c", false},
    {"*.?", "abc", true},
    {"*.?", "a.bc", false},
    {"*.*", "noext", true},
    {"*.*", "a.b.c", true},
    {"a.*", "a", true},
    {"a.*", "a.b.c", true},
    {"a.*", "ab", false},
    {"a..*", "a", false},  // a dot not before '*' or '?' is a dot (Wine differs)
    {"ab*", "a", false},
    // '<', '>' and '"' reach the file system as they are: its own wildcards
    // (Wine reads them as themselves).
    {"x<.z", "x.y.z", true},
    {"x<", "xy.z", false},
    {"x>\"z", "x.z", true},
    // Final dots and blanks are dropped.
    {"a..", "a", true},
    {"abc .", "abc", true},
    {"abc.", "abc.txt", false},
    {"*.", "noext", true},
    {"*.", "x.dat", false},
    {"*.", "a.b.c", false},
    {"a*.", "ab", true},
    {"a*.", "ab.txt", false},  // and "a*." is "a*"
    {"*b*.", "a.bc", true},      // only a final '*'
    // Letter case as the file system folds it.
    {"ａ*", "Ａ.txt", true},
    {"A*", "Ａ.txt", false},       // full-width is not half-width
    {"ω*", "Ω.txt", true},
    {"я*", "Я.txt", true},         // past the gap at 0x847F
    {"ｚαанож*", "ＺΑАНОЖ.txt", true},  // the other ends of the four ranges
    {"\x84\x7F.txt", "О.txt", false},  // 84 7F is no character: no letter
    {"\x84\x7F.txt", "Н.txt", false},  // on either side of the gap
    {"\x84\x6E.txt", "─.txt", false},  // nor a line past the letters
    {"za{*", "ZA{.txt", true},
    {"{}*", "[].txt", false},           // only letters have a case
    {"Ж*", "ж.txt", true},
    // A double-byte character is one character, whatever its trail byte.
    {"?.txt", "表.txt", true},     // trail byte 0x5C
    {"??.txt", "表.txt", true},
    {"表?.txt", "表.txt", true},
    {"*ソ.txt", "表ソ.txt", true},
    {"*ア", "イ", false},          // a last character is two bytes
    {"*ポ*", "ポ.txt", true},      // trail byte 0x7C
    {"*A.txt", "ア.txt", false},   // ア is 83 41: its trail byte is an 'A'
    {"ア*", "ヂ.txt", false},      // ヂ is 83 61: trail bytes keep their case
};
