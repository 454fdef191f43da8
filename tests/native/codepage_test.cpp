#include <gtest/gtest.h>

#include <string.h>

#include "base/codepage.h"

namespace {

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

TEST(CodePage, LowerCaseLeavesDoubleByteCharacters)
{
    char s[] = "UnInst.EXE ソA Ｘ@[Z";
    mbLowerAscii(s);
    EXPECT_STREQ(s, "uninst.exe ソa Ｘ@[z");
    // 0x83 0x41 is the katakana ァ: its trail byte 'A' must stay upper case.
    char t[] = {(char)0x83, 'A', 'B', 0};
    mbLowerAscii(t);
    EXPECT_EQ(t[1], 'A');
    EXPECT_EQ(t[2], 'b');
}

}  // namespace
