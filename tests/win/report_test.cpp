// The three message operations against the real user32.
#include <gtest/gtest.h>

#include <string.h>

#include "shell/report_win.h"
#include "win/message_box_hook.h"

namespace {

class Report : public testing::Test {
protected:
    void SetUp() override
    {
        window_ = CreateWindowA("STATIC", "Window Title", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL, NULL, NULL);
        setClipboardText("sentinel");
    }
    void TearDown() override
    {
        setMainWindowHandle(NULL);
        DestroyWindow(window_);
    }
    HWND window_ = NULL;
};

TEST_F(Report, BeforeTheMainWindowTheBoxHasNoOwnerAndNoCaption)
{
    MessageBoxHook boxes(IDOK);
    reportError("%s [%d]", "text", 7);
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().owner, (HWND)NULL);
    EXPECT_EQ(boxes.last().caption, "");
    EXPECT_EQ(boxes.last().text, "text [7]");
    EXPECT_EQ(clipboardText(), "text [7]");
}

TEST_F(Report, WithTheMainWindowTheBoxIsOwnedAndCaptioned)
{
    MessageBoxHook boxes(IDOK);
    setMainWindowHandle(window_);
    reportError("エラー%s", "です");
    EXPECT_EQ(boxes.last().owner, window_);
    EXPECT_EQ(boxes.last().caption, "Window Title");
    EXPECT_EQ(clipboardText(), "エラーです");

    SetWindowTextA(window_, "New Title");
    EXPECT_STREQ(mainWindowCaption(), "New Title");
}

TEST_F(Report, InformationLeavesTheClipboardAlone)
{
    MessageBoxHook boxes(IDOK);
    setMainWindowHandle(window_);
    reportInfo("done %s", "here");
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, "done here");
    EXPECT_FALSE(boxes.last().hasCancel);
    EXPECT_EQ(clipboardText(), "sentinel");
}

TEST_F(Report, RetryReturnsToTheCaller)
{
    MessageBoxHook boxes(IDRETRY);
    reportRetryError("again %s", "?");
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().hasRetry);
    EXPECT_TRUE(boxes.last().hasCancel);
    EXPECT_EQ(clipboardText(), "again ?");
}

TEST_F(Report, CancelEndsTheProcessWithMinusOne)
{
    EXPECT_EXIT(
        {
            MessageBoxHook boxes(IDCANCEL);
            reportRetryError("cancel me");
        },
        testing::ExitedWithCode(-1), "");
}

// A path far longer than the text buffer is cut, never written past it.
TEST_F(Report, LongTextIsCutToTheBuffer)
{
    MessageBoxHook boxes(IDOK);
    std::string path(3000, 'p');
    reportError("[%s]", path.c_str());
    EXPECT_EQ(boxes.last().text.size(), 1023u);
    EXPECT_EQ(clipboardText(), "[" + path.substr(0, 1022));
}

}  // namespace
