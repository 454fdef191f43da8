// The confirmation dialog against the real dialog manager: a hidden window
// of this program stands in for the main window, and a thread timer, which
// the dialog's own modal loop dispatches, plays the user.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <functional>
#include <string>

#include "res/resource.h"
#include "shell/confirm_dialog.h"
#include "shell/report_win.h"

namespace {

std::function<void(HWND)> g_answer;
HWND g_owner;

BOOL CALLBACK findConfirmation(HWND window, LPARAM found)
{
    char className[16];
    if (GetClassNameA(window, className, sizeof className) && strcmp(className, "#32770") == 0 &&
        IsWindowVisible(window) && GetWindow(window, GW_OWNER) == g_owner) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK answerWhenOpen(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = NULL;
    EnumThreadWindows(GetCurrentThreadId(), findConfirmation, (LPARAM)&dialog);
    if (!dialog)
        return;
    KillTimer(NULL, timer);
    g_answer(dialog);
}

class ConfirmDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_owner = CreateWindowA("STATIC", "owner", WS_POPUP, 0, 0, 50, 50, NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(g_owner);
        setMainWindowHandle(g_owner);
    }
    void TearDown() override { DestroyWindow(g_owner); }

    // confirmUninstall on folder, answered by answer once the dialog shows.
    int ask(const char* folder, std::function<void(HWND)> answer)
    {
        g_answer = answer;
        SetTimer(NULL, 0, 20, answerWhenOpen);
        return confirmUninstall(folder);
    }
};

void tick(HWND dialog)
{
    SendDlgItemMessageA(dialog, IDC_DELETE_SAVES, BM_CLICK, 0, 0);
}

// Keys go through the dialog's message loop, the way typing reaches it.
void key(HWND dialog, WPARAM vk)
{
    HWND focus = GetFocus();
    PostMessageA(focus ? focus : dialog, WM_KEYDOWN, vk, 0);
    PostMessageA(focus ? focus : dialog, WM_KEYUP, vk, 0xC0000000);
}

struct AnswerCase {
    const char* name;
    bool ticked;
    std::function<void(HWND)> answer;
    int result;
    int saveFiles;
};

TEST_F(ConfirmDialog, AnswersAndSaveFileChoice)
{
    auto ok = [](HWND d) { SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(d, IDOK)); };
    auto cancel = [](HWND d) {
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(d, IDCANCEL));
    };
    auto enter = [](HWND d) { key(d, VK_RETURN); };
    auto escape = [](HWND d) { key(d, VK_ESCAPE); };
    auto closeBox = [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); };
    const AnswerCase cases[] = {
        {"OK", false, ok, 0, 0},
        {"OK ticked", true, ok, 0, 1},
        {"Enter ticked", true, enter, 0, 1},
        {"Cancel ticked", true, cancel, -1, 0},
        {"Escape ticked", true, escape, -1, 0},
        {"close box ticked", true, closeBox, -1, 0},
        {"Enter at once", false, enter, 0, 0},
    };
    for (const AnswerCase& c : cases) {
        bool freshStart = false;
        int result = ask("C:\\Game", [&](HWND d) {
            // Every dialog starts unticked with the choice cleared, whatever
            // the last one left.
            freshStart = !IsDlgButtonChecked(d, IDC_DELETE_SAVES) && deleteSaveFilesChosen() == 0;
            if (c.ticked)
                tick(d);
            c.answer(d);
        });
        EXPECT_TRUE(freshStart) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(deleteSaveFilesChosen(), c.saveFiles) << c.name;
    }
}

// A folder longer than the prompt can hold is cut, never written past it.
TEST_F(ConfirmDialog, LongFolderIsCutToThePrompt)
{
    std::string folder(700, 'a');
    size_t shown = 0;
    ask(folder.c_str(), [&](HWND d) {
        char text[1024];
        shown = GetDlgItemTextA(d, IDC_PROMPT, text, sizeof text);
        EndDialog(d, 1);
    });
    EXPECT_EQ(shown, 511u);
}

// A dialog that cannot be made is no permission to delete.
TEST_F(ConfirmDialog, DialogThatCannotBeMadeCountsAsCancelled)
{
    DestroyWindow(g_owner);
    g_owner = CreateWindowA("STATIC", "owner", WS_POPUP, 0, 0, 50, 50, NULL, NULL, GetModuleHandleA("user32.dll"), NULL);
    setMainWindowHandle(g_owner);
    EXPECT_EQ(confirmUninstall("C:\\Game"), -1);
}

}  // namespace
