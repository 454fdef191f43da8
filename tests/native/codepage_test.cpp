#include <gtest/gtest.h>

#include <string.h>

#include "base/codepage.h"
#include "uninstall/path.h"

namespace {

struct SeparatorCase {
    const char* path;
    int lastSeparatorAt;  // -1: none
};

// ソ and 表 end in 0x5C, ポ in 0x7C: trail bytes that must never match.
const SeparatorCase kSeparatorCases[] = {
    {"C:\\Games\\Title\\uninst.exe", 14},
    {"C:\\ソ", 2},
    {"C:\\Games\\ソ\\uninst.exe", 11},
    {"C:\\表\\", 5},
    {"ソ", -1},
    {"", -1},
    {"uninst.exe", -1},
};

TEST(CodePage, LastSeparatorSkipsTrailBytes)
{
    for (const SeparatorCase& c : kSeparatorCases) {
        const char* hit = findLastSeparator(c.path);
        EXPECT_EQ(hit ? (int)(hit - c.path) : -1, c.lastSeparatorAt) << c.path;
    }
}

TEST(CodePage, FindByteSkipsTrailBytes)
{
    EXPECT_EQ(mbFindByte("ポ", '|'), nullptr);
    const char* s = "ポ|x";
    EXPECT_EQ(mbFindByte(s, '|'), s + 2);
    const char* t = "a|ポ|";
    EXPECT_EQ(mbFindLastByte(t, '|'), t + 4);
    const char lone[] = {'a', (char)0x83, 0};  // a lead byte cut off at the end
    EXPECT_EQ(mbFindByte(lone, 0x83), nullptr);
}

struct CutCase {
    const char* path;
    const char* folder;  // nullptr: left unchanged, -1
};

const CutCase kCutCases[] = {
    {"C:\\Games\\Title\\uninst.exe", "C:\\Games\\Title"},
    {"C:\\uninst.exe", "C:\\"},
    {"C:\\Games\\ソ\\uninst.exe", "C:\\Games\\ソ"},
    {"C:\\Games\\表.exe", "C:\\Games"},
    {"\\uninst.exe", nullptr},
    {"uninst.exe", nullptr},
};

TEST(CodePage, FolderCutKeepsDriveRoot)
{
    for (const CutCase& c : kCutCases) {
        char buffer[MAX_PATH_BYTES];
        strcpy(buffer, c.path);
        int result = cutAtLastSeparator(buffer);
        if (c.folder) {
            EXPECT_EQ(result, 0) << c.path;
            EXPECT_STREQ(buffer, c.folder) << c.path;
        } else {
            EXPECT_EQ(result, -1) << c.path;
            EXPECT_STREQ(buffer, c.path);
        }
    }
}

TEST(CodePage, LowerCaseLeavesDoubleByteCharacters)
{
    char s[] = "UnInst.EXE ソA Ｘ";
    mbLowerAscii(s);
    EXPECT_STREQ(s, "uninst.exe ソa Ｘ");
    // 0x83 0x41 is the katakana ァ: its trail byte 'A' must stay upper case.
    char t[] = {(char)0x83, 'A', 'B', 0};
    mbLowerAscii(t);
    EXPECT_EQ(t[1], 'A');
    EXPECT_EQ(t[2], 'b');
}

}  // namespace
