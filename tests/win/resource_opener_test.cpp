// The resource opener against real files: probe, locate, and the open that
// keeps asking until the file is there.
#include <gtest/gtest.h>

#include <stdio.h>

#include "resfile/resource_opener.h"
#include "win/message_box_hook.h"

namespace {

class ResourceOpener : public testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof saved_, saved_);
        CreateDirectoryA("C:\\opener-test", NULL);
        SetCurrentDirectoryA("C:\\opener-test");
        setPlainPathsAllowed(1);
        write("present.txt", "x");
        CreateDirectoryA("folder.txt", NULL);
    }
    void TearDown() override
    {
        DeleteFileA("present.txt");
        DeleteFileA("late.txt");
        RemoveDirectoryA("folder.txt");
        SetCurrentDirectoryA(saved_);
        RemoveDirectoryA("C:\\opener-test");
    }
    static void write(const char* name, const char* text)
    {
        FILE* f = fopen(name, "wb");
        fputs(text, f);
        fclose(f);
    }
    char saved_[MAX_PATH];
};

TEST_F(ResourceOpener, ProbeFindsOnlyReadableFiles)
{
    EXPECT_EQ(resourceFileExists("present.txt"), 1);
    EXPECT_EQ(resourceFileExists("missing.txt"), 0);
    EXPECT_EQ(resourceFileExists("folder.txt"), 0);

    // Held open by someone who shares nothing: as good as missing.
    HANDLE held = CreateFileA("present.txt", GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(resourceFileExists("present.txt"), 0);
    CloseHandle(held);

    setPlainPathsAllowed(0);
    EXPECT_EQ(resourceFileExists("present.txt"), 0);
}

TEST_F(ResourceOpener, LocateGivesTheNameAsPassedOrEmpty)
{
    char found[MAX_PATH] = "sentinel";
    resourceFileExists("present.txt");  // creates the lock
    EXPECT_EQ(locateResourceFile("present.txt", found), found);
    EXPECT_STREQ(found, "present.txt");
    EXPECT_EQ(locateResourceFile("missing.txt", found), nullptr);
    EXPECT_STREQ(found, "");
}

TEST_F(ResourceOpener, OpenRetriesUntilTheFileIsThere)
{
    int asked = 0;
    MessageBoxHook boxes([&](const SeenBox&) {
        if (++asked == 2)
            write("late.txt", "late");
        return IDRETRY;
    });
    FILE* stream = openResourceFile("late.txt", "rb");
    ASSERT_NE(stream, nullptr);
    fclose(stream);
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.last().text, "Ffopen : ファイル[late.txt]の読み込みで失敗しました");
    EXPECT_TRUE(boxes.last().hasRetry);
}

TEST_F(ResourceOpener, CancelEndsTheProcessWithMinusOne)
{
    EXPECT_EXIT(
        {
            MessageBoxHook boxes(IDCANCEL);
            openResourceFile("missing.txt", "rb");
        },
        testing::ExitedWithCode(-1), "");
}

}  // namespace
