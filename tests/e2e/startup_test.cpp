#include <gtest/gtest.h>

#include "harness/driver.h"

using namespace harness;

namespace {

const char kMissingEnvText[] =
    "起動に必要なファイルが不足しています。\nインストールの異常終了、起動するフォルダ異常、等を確認してください。";
const char kDefaultCaption[] = "ＴＡＶＥＬＯ アプリケーション アンインストール";

TEST(Startup, MissingInstallEnvReportsAndExitsMinusOne)
{
    std::string folder = freshFolder("noenv");
    std::string exe = installProgram(folder);
    setClipboardText("");
    Program program(exe);
    ASSERT_TRUE(program.started());

    HWND box = waitForDialog(program.pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box), kMissingEnvText);
    EXPECT_EQ(windowText(box), "");
    EXPECT_EQ(GetWindow(box, GW_OWNER), (HWND)NULL);
    EXPECT_EQ(messageBoxButtons(box), std::vector<int>{IDOK});
    EXPECT_EQ(clipboardText(), kMissingEnvText);
    // The window that took the clipboard for the text is gone before the box.
    HWND clipboardOwner = GetClipboardOwner();
    EXPECT_TRUE(clipboardOwner == NULL || !IsWindow(clipboardOwner));
    EXPECT_EQ(dialogsOf(program.pid()).size(), 1u) << "no main window besides the box";

    pressButton(box, IDOK);
    EXPECT_EQ(program.waitExit(), 0xFFFFFFFFu);
    removeTree(folder);
}

// The program finds its files by its own folder, not by the directory it was
// started from; a folder name ending in ソ (trail byte 0x5C) must not be cut
// inside the character.
TEST(Startup, OpensMainWindowFromItsOwnFolderAndClosesWithZero)
{
    const char* names[] = {"plain", "フォルダソ", "表"};
    for (const char* name : names) {
        std::string folder = freshFolder(name);
        std::string exe = prepareInstallation(folder, "TITLEBAR\tＴＡＶＥＬＯ|アプリケーション\r\n");
        std::string elsewhere = freshFolder("elsewhere");
        Program program(exe, elsewhere);
        ASSERT_TRUE(program.started()) << name;

        HWND window = waitForDialog(program.pid(), kDefaultCaption);
        ASSERT_TRUE(window) << name << ": no main window";
        EXPECT_EQ(dialogsOf(program.pid()).size(), 1u);
        postClose(window);
        EXPECT_EQ(program.waitExit(), 0u) << name;
        removeTree(folder);
        removeTree(elsewhere);
    }
}

}  // namespace
