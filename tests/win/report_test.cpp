// The three message operations against the real user32: the boxes are
// answered from a CBT hook, which also records what the box showed.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>

#include "shell/report_win.h"

namespace {

struct SeenBox {
    int count;
    HWND owner;
    std::string caption;
    std::string text;
    bool hasRetry;
    bool hasCancel;
};

SeenBox g_seen;
int g_answer = IDOK;
HHOOK g_hook;

BOOL CALLBACK findText(HWND child, LPARAM)
{
    char className[32], text[2048];
    GetClassNameA(child, className, sizeof className);
    if (_stricmp(className, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > (int)g_seen.text.size())
        g_seen.text = text;
    return TRUE;
}

LRESULT CALLBACK answerBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = (HWND)wParam;
        char className[32], caption[512];
        GetClassNameA(box, className, sizeof className);
        if (strcmp(className, "#32770") == 0) {
            ++g_seen.count;
            g_seen.owner = GetWindow(box, GW_OWNER);
            GetWindowTextA(box, caption, sizeof caption);
            g_seen.caption = caption;
            g_seen.text.clear();
            EnumChildWindows(box, findText, 0);
            g_seen.hasRetry = GetDlgItem(box, IDRETRY) != NULL;
            g_seen.hasCancel = GetDlgItem(box, IDCANCEL) != NULL;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(g_answer, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

std::string clipboard()
{
    std::string text;
    if (OpenClipboard(NULL)) {
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            text = (const char*)GlobalLock(data);
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

void setClipboard(const char* text)
{
    OpenClipboard(NULL);
    EmptyClipboard();
    CloseClipboard();
    copyTextToClipboard(text);
}

class Report : public testing::Test {
protected:
    void SetUp() override
    {
        g_seen = SeenBox();
        g_answer = IDOK;
        g_hook = SetWindowsHookExA(WH_CBT, answerBoxes, NULL, GetCurrentThreadId());
        window_ = CreateWindowA("STATIC", "Window Title", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL, NULL, NULL);
        setClipboard("sentinel");
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(g_hook);
        setMainWindowHandle(NULL);
        DestroyWindow(window_);
    }
    HWND window_ = NULL;
};

TEST_F(Report, BeforeTheMainWindowTheBoxHasNoOwnerAndNoCaption)
{
    setMainWindowHandle(NULL);
    reportError("%s [%d]", "text", 7);
    EXPECT_EQ(g_seen.count, 1);
    EXPECT_EQ(g_seen.owner, (HWND)NULL);
    EXPECT_EQ(g_seen.caption, "");
    EXPECT_EQ(g_seen.text, "text [7]");
    EXPECT_EQ(clipboard(), "text [7]");
}

TEST_F(Report, WithTheMainWindowTheBoxIsOwnedAndCaptioned)
{
    setMainWindowHandle(window_);
    reportError("エラー%s", "です");
    EXPECT_EQ(g_seen.owner, window_);
    EXPECT_EQ(g_seen.caption, "Window Title");
    EXPECT_EQ(clipboard(), "エラーです");

    SetWindowTextA(window_, "New Title");
    EXPECT_STREQ(mainWindowCaption(), "New Title");
}

TEST_F(Report, InformationLeavesTheClipboardAlone)
{
    setMainWindowHandle(window_);
    reportInfo("done %s", "here");
    EXPECT_EQ(g_seen.count, 1);
    EXPECT_EQ(g_seen.text, "done here");
    EXPECT_FALSE(g_seen.hasCancel);
    EXPECT_EQ(clipboard(), "sentinel");
}

TEST_F(Report, RetryReturnsToTheCaller)
{
    g_answer = IDRETRY;
    reportRetryError("again %s", "?");
    EXPECT_EQ(g_seen.count, 1);
    EXPECT_TRUE(g_seen.hasRetry);
    EXPECT_TRUE(g_seen.hasCancel);
    EXPECT_EQ(clipboard(), "again ?");
}

TEST_F(Report, CancelEndsTheProcessWithMinusOne)
{
    EXPECT_EXIT(
        {
            g_answer = IDCANCEL;
            reportRetryError("cancel me");
        },
        testing::ExitedWithCode(-1), "");
}

// A path far longer than the text buffer is cut, never written past it.
TEST_F(Report, LongTextIsCutToTheBuffer)
{
    std::string path(3000, 'p');
    reportError("[%s]", path.c_str());
    EXPECT_EQ(g_seen.text.size(), 1023u);
    EXPECT_EQ(clipboard(), "[" + path.substr(0, 1022));
}

TEST(AllocOrReport, GivesAUsableBlock)
{
    void* block = allocOrReport(64);
    ASSERT_NE(block, nullptr);
    memset(block, 0xAB, 64);
    free(block);
}

}  // namespace
