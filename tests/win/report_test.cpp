// What the end-to-end tier cannot bring about in the message operations: a
// clipboard held by another program.
#include <gtest/gtest.h>

#include <string.h>

#include "harness/driver.h"
#include "shell/report_win.h"

// The import slot through which the code under test calls OpenClipboard.
#ifdef _WIN64
extern "C" BOOL(WINAPI* importedOpenClipboard)(HWND) asm("__imp_OpenClipboard");
#else
extern "C" BOOL(WINAPI* importedOpenClipboard)(HWND) asm("__imp__OpenClipboard@4");
#endif

using harness::clipboardText;
using harness::setClipboardText;

namespace {

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
