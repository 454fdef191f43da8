// The rules a found file's long name must meet to be deleted: the native
// tier checks the matcher against them, the Win32 tier checks the system's
// own search where it agrees (likeSearch).
#pragma once

struct LongNameRule {
    const char *pattern, *name;
    bool matches;
    bool likeSearch;  // false: the search also matches the short alias, or Wine reads the pattern otherwise
};

const LongNameRule kLongNameRules[] = {
    {"*.dat", "x.dat", true, true},
    {"*.dat", "x.data", false, false},  // alias X~1.DAT
    {"X.DAT", "x.dat", true, true},
    // '?' is one character other than a dot, or nothing at a dot or at the
    // end. Wine's '?' is always one character, and may be a dot.
    {"?.ini", "b.ini", true, true},
    {"?.ini", "ab.ini", false, true},
    {"?.ini", ".ini", true, false},  // Wine differs
    {"a?.txt", "a.txt", true, false},  // Wine differs
    {"save??.dat", "save1.dat", true, false},  // Wine differs
    {"save??.dat", "save.dat", true, false},  // Wine differs
    {"*.htm?", "a.htm", true, false},  // Wine differs
    {"noext?", "noext", true, false},  // Wine differs
    {"noext??", "noext", true, false},  // Wine differs
    {"noex?", "noext", true, true},
    {"a?c", "a.c", false, false},  // Wine differs
    // A '*' before a dot, or ending a name that ended in a dot, never takes
    // in the name's last dot; earlier dots it may. A dot before '*' or '?'
    // is a dot or the end.
    {"*.c", "a.b.c", true, true},
    {"*.b", "a.b.c", false, true},
    {"*.?", "abc", true, false},  // Wine differs
    {"*.?", "a.bc", false, true},
    {"*.*", "noext", true, true},
    {"*.*", "a.b.c", true, true},
    {"a.*", "a", true, true},
    {"a.*", "a.b.c", true, true},
    {"a.*", "ab", false, true},
    {"a..*", "a", false, false},  // a dot not before '*' or '?' is a dot (Wine differs)
    {"ab*", "a", false, true},
    // '<', '>' and '"' reach the file system as they are: its own wildcards
    // (Wine reads them as themselves).
    {"x<.z", "x.y.z", true, false},
    {"x<", "xy.z", false, false},
    {"x>\"z", "x.z", true, false},
    // Final dots and blanks are dropped.
    {"a..", "a", true, true},
    {"abc .", "abc", true, true},
    {"abc.", "abc.txt", false, true},
    {"*.", "noext", true, true},
    {"*.", "x.dat", false, false},  // Wine differs: "*." is "*" there
    {"*.", "a.b.c", false, false},  // Wine differs
    {"a*.", "ab", true, true},
    {"a*.", "ab.txt", false, false},  // and "a*." is "a*"
    {"*b*.", "a.bc", true, true},      // only a final '*'
    // Letter case as the file system folds it.
    {"ａ*", "Ａ.txt", true, true},
    {"A*", "Ａ.txt", false, true},       // full-width is not half-width
    {"ω*", "Ω.txt", true, true},
    {"я*", "Я.txt", true, true},         // past the gap at 0x847F
    {"ｚαанож*", "ＺΑАНОЖ.txt", true, true},  // the other ends of the four ranges
    {"\x84\x7F.txt", "О.txt", false, false},  // 84 7F is no character: no letter
    {"\x84\x7F.txt", "Н.txt", false, false},  // on either side of the gap
    {"\x84\x6E.txt", "─.txt", false, false},  // nor a line past the letters
    {"za{*", "ZA{.txt", true, true},
    {"{}*", "[].txt", false, true},           // only letters have a case
    {"Ж*", "ж.txt", true, true},
    // A double-byte character is one character, whatever its trail byte.
    {"?.txt", "表.txt", true, true},     // trail byte 0x5C
    {"??.txt", "表.txt", true, false},  // Wine differs
    {"表?.txt", "表.txt", true, false},  // Wine differs
    {"*ソ.txt", "表ソ.txt", true, true},
    {"*ア", "イ", false, true},          // a last character is two bytes
    {"*ポ*", "ポ.txt", true, true},      // trail byte 0x7C
    {"*A.txt", "ア.txt", false, true},   // ア is 83 41: its trail byte is an 'A'
    {"ア*", "ヂ.txt", false, true},      // ヂ is 83 61: trail bytes keep their case
};
