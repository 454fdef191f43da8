// The harness must give the program the platform it is made for: code page
// 932, and file names in it. A broken environment fails here, loudly.
#include <gtest/gtest.h>
#include <windows.h>

TEST(Platform, AnsiCodePageIs932)
{
    EXPECT_EQ(GetACP(), 932u);
}

TEST(Platform, CreatesFolderNamedInJapanese)
{
    const char* folder = "C:\\platform-ソ";
    RemoveDirectoryA(folder);
    ASSERT_TRUE(CreateDirectoryA(folder, NULL)) << GetLastError();
    DWORD attributes = GetFileAttributesA(folder);
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(RemoveDirectoryA(folder));
}
