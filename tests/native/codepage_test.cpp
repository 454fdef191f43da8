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

}  // namespace
