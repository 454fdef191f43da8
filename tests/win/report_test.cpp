// The three message operations against the real user32.
#include <gtest/gtest.h>

#include <string.h>

#include "harness/driver.h"
#include "shell/report_win.h"
#include "win/message_box_hook.h"

// The import slot through which the code under test calls OpenClipboard.
#ifdef _WIN64
extern "C" BOOL(WINAPI* importedOpenClipboard)(HWND) asm("__imp_OpenClipboard");
#else
extern "C" BOOL(WINAPI* importedOpenClipboard)(HWND) asm("__imp__OpenClipboard@4");
#endif

using harness::clipboardText;
using harness::setClipboardText;

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

// Stands in for OpenClipboard while alive: records the window each call
// names and refuses the first calls as a program holding the clipboard would.
class OpenClipboardSpy {
public:
    explicit OpenClipboardSpy(int refusals)
    {
        refusals_ = refusals;
        real_ = importedOpenClipboard;
        patch((void*)fake);
    }
    ~OpenClipboardSpy() { patch((void*)real_); }
    static HWND lastOwner() { return lastOwner_; }

private:
    static BOOL WINAPI fake(HWND owner)
    {
        lastOwner_ = owner;
        if (refusals_ > 0) {
            --refusals_;
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        return real_(owner);
    }
    static void patch(void* function)
    {
        DWORD old;
        VirtualProtect(&importedOpenClipboard, sizeof function, PAGE_READWRITE, &old);
        memcpy((void*)&importedOpenClipboard, &function, sizeof function);
        VirtualProtect(&importedOpenClipboard, sizeof function, old, &old);
    }
    static inline BOOL(WINAPI* real_)(HWND);
    static inline int refusals_;
    static inline HWND lastOwner_;
};

// Windows empties a clipboard opened without a window to no owner and then
// refuses the text (Wine does not); and another program may hold it for a
// moment. Before any window exists, the copy must name a window of its own
// that is gone afterwards, and wait out a short refusal.
TEST(Clipboard, CopyOwnsTheClipboardAndWaitsOutAShortRefusal)
{
    const struct {
        int refusals;
        int result;
        const char* text;
    } cases[] = {{0, 0, "エラー 1"}, {3, 0, "エラー 2"}, {1000, -1, "sentinel"}};
    for (const auto& c : cases) {
        setClipboardText("sentinel");
        int result;
        HWND owner;
        {
            OpenClipboardSpy spy(c.refusals);
            result = copyTextToClipboard(c.text);
            owner = spy.lastOwner();
        }
        EXPECT_EQ(result, c.result) << c.refusals;
        EXPECT_EQ(clipboardText(), c.text) << c.refusals;
        EXPECT_NE(owner, (HWND)NULL) << c.refusals;
        EXPECT_FALSE(IsWindow(owner)) << c.refusals;
    }
}

}  // namespace
