#include <gtest/gtest.h>

#include "harness/driver.h"

using namespace harness;

namespace {

TEST(InstallEnv, TitleWithBarGivesCaptionWithBlank)
{
    std::string folder = freshFolder("bartitle");
    Program program(prepareInstallation(folder, "TITLEBAR My|Game\r\n"));
    HWND window = waitForDialog(program.pid(), "My Game アンインストール");
    ASSERT_TRUE(window);
    postClose(window);
    EXPECT_EQ(program.waitExit(), 0u);
    removeTree(folder);
}

// One uninstaller per title: the second start with the same TITLEBAR says
// so and leaves; another title runs beside it.
TEST(InstallEnv, SecondInstanceOfSameTitleIsRefused)
{
    std::string first = freshFolder("first");
    std::string second = freshFolder("second");
    std::string other = freshFolder("other");
    const char* env = "TITLEBAR 同じ|タイトル\r\n";
    Program running(prepareInstallation(first, env));
    HWND window = waitForDialog(running.pid(), "同じ タイトル アンインストール");
    ASSERT_TRUE(window);

    setClipboardText("");
    Program refused(prepareInstallation(second, env));
    HWND box = waitForDialog(refused.pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box), "[ 同じ タイトル アンインストール ] は既に起動中です");
    EXPECT_EQ(windowText(box), "同じ タイトル");
    EXPECT_EQ(GetWindow(box, GW_OWNER), (HWND)NULL);
    EXPECT_EQ(clipboardText(), "") << "the box is shown directly, without the clipboard";
    pressButton(box, IDOK);
    EXPECT_EQ(refused.waitExit(), 0u);
    EXPECT_TRUE(running.running());

    Program another(prepareInstallation(other, "TITLEBAR 別の|タイトル\r\n"));
    HWND otherWindow = waitForDialog(another.pid(), "別の タイトル アンインストール");
    EXPECT_TRUE(otherWindow);
    postClose(otherWindow);
    EXPECT_EQ(another.waitExit(), 0u);

    postClose(window);
    EXPECT_EQ(running.waitExit(), 0u);
    removeTree(first);
    removeTree(second);
    removeTree(other);
}

// A list section without its terminator is refused before the window
// opens, whichever button answers the box.
TEST(InstallEnv, UnterminatedSectionEndsWithMinusOne)
{
    const int answers[] = {IDRETRY, IDCANCEL};
    for (int answer : answers) {
        std::string folder = freshFolder("unterminated");
        Program program(prepareInstallation(folder, "TITLEBAR T\r\n[delfiles_user]\r\nsave\\*.sav\r\n"));
        HWND box = waitForDialog(program.pid());
        ASSERT_TRUE(box);
        EXPECT_EQ(messageBoxText(box), "[設定.env]の[delfiles_user]が終了していません");
        EXPECT_EQ(messageBoxButtons(box).size(), 2u);
        pressButton(box, answer);
        EXPECT_EQ(program.waitExit(), 0xFFFFFFFFu) << "answer " << answer;
        removeTree(folder);
    }
}

}  // namespace
