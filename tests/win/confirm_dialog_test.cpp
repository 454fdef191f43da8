// What the end-to-end tier cannot bring about in the confirmation dialog, a
// choice read after a cancel and a dialog that cannot be made, against
// the real dialog manager: a hidden window of this program stands in for the
// main window, and a thread timer, which the dialog's own modal loop
// dispatches, plays the user.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <functional>
#include <string>

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

// A cancelled dialog chooses no save files.
TEST_F(ConfirmDialog, CancelChoosesNoSaveFiles)
{
    EXPECT_EQ(ask("C:\\Game", [](HWND d) { SendMessageA(d, WM_COMMAND, IDCANCEL, 0); }), -1);
    EXPECT_EQ(deleteSaveFilesChosen(), 0);
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
