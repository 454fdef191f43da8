#include <gtest/gtest.h>

#include "harness/driver.h"

using namespace harness;

namespace {

const char kMissingEnvText[] =
    "起動に必要なファイルが不足しています。\nインストールの異常終了、起動するフォルダ異常、等を確認してください。";

// An install.env that is missing, a folder, or held by another program that
// shares nothing is as good as missing.
TEST(Startup, MissingInstallEnvReportsAndExitsMinusOne)
{
    for (int how = 0; how < 3; ++how) {
        std::string folder = freshFolder("noenv");
        std::string exe = installProgram(folder);
        std::string env = folder + "\\install.env";
        HANDLE held = INVALID_HANDLE_VALUE;
        if (how == 1)
            CreateDirectoryA(env.c_str(), NULL);
        if (how == 2) {
            writeFile(env, "TITLEBAR held\r\n");
            held = CreateFileA(env.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        }
        setClipboardText("");
        Program program(exe);
        ASSERT_TRUE(program.started());

        HWND box = waitForDialog(program.pid());
        ASSERT_TRUE(box) << how;
        EXPECT_EQ(messageBoxText(box), kMissingEnvText);
        EXPECT_EQ(windowText(box), "");
        EXPECT_EQ(GetWindow(box, GW_OWNER), (HWND)NULL);
        EXPECT_EQ(messageBoxButtons(box), std::vector<int>{IDOK});
        EXPECT_EQ(clipboardText(), kMissingEnvText);
        EXPECT_EQ(clipboardLocale(), 0x0411u) << "Japanese, whatever the user's language";
        // The window that took the clipboard for the text is gone before the box.
        HWND clipboardOwner = GetClipboardOwner();
        EXPECT_TRUE(clipboardOwner == NULL || !IsWindow(clipboardOwner));
        EXPECT_EQ(dialogsOf(program.pid()).size(), 1u) << "no main window besides the box";

        pressButton(box, IDOK);
        EXPECT_EQ(program.waitExit(), 0xFFFFFFFFu);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        removeTree(folder);
    }
}

// One uninstaller per title: the second start with the same TITLEBAR says
// so and leaves; another title runs beside it.
TEST(Startup, SecondInstanceOfSameTitleIsRefused)
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
TEST(Startup, UnterminatedSectionEndsWithMinusOne)
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
