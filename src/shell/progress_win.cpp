#include "shell/progress_win.h"

#include <commctrl.h>

#include "res/resource.h"

namespace {

// Often enough that neither Windows nor the user takes the window for hung,
// seldom enough that the removal hardly notices.
const DWORD kAnswerMs = 30;

HWND g_window;  // while the removal runs
HWND g_bar;
int g_done;
DWORD g_answered;

// Resolved at run time: the calls exist from Vista on.
FARPROC user32Function(const char* name)
{
    return GetProcAddress(GetModuleHandleA("user32.dll"), name);
}

}  // namespace

void beginProgress(HWND window)
{
    g_window = window;
    g_done = 0;
    g_answered = GetTickCount();
    // The buttons' ids follow each other; one that was removed is none.
    for (int id = IDC_BUTTON_BOTTOM; id <= IDC_BUTTON_TOP; ++id)
        EnableWindow(GetDlgItem(window, id), FALSE);
    // Above the topmost button left, "アンインストール", as wide and a little
    // apart, in the template's units: its buttons lie at x 155, 75 wide,
    // the top one at y 130 and the next 15 below.
    RECT place = {155, 116, 230, 125};
    if (!GetDlgItem(window, IDC_BUTTON_TOP))
        OffsetRect(&place, 0, 15);
    MapDialogRect(window, &place);
    g_bar = CreateWindowExA(0, PROGRESS_CLASSA, NULL, WS_CHILD | WS_VISIBLE, place.left, place.top,
                            place.right - place.left, place.bottom - place.top, window, (HMENU)IDC_PROGRESS, NULL,
                            NULL);
    if (auto create = (BOOL(WINAPI*)(HWND, LPCWSTR))(void*)user32Function("ShutdownBlockReasonCreate"))
        create(window, L"アンインストール中です");
}

void setProgressTotal(int total)
{
    SendMessageA(g_bar, PBM_SETRANGE32, 0, total > 0 ? total : 1);
}

void stepProgress()
{
    ++g_done;
    keepAnswering();
}

void keepAnswering()
{
    if (!g_window || GetTickCount() - g_answered < kAnswerMs)
        return;
    g_answered = GetTickCount();
    // The bar stops at its end: files that appeared since the check count
    // for nothing more.
    SendMessageA(g_bar, PBM_SETPOS, g_done, 0);
    // No keys to translate, the buttons being disabled. A WM_QUIT, which
    // nothing in the program posts, goes like any other message: the
    // program ends once the removal has.
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

void endProgress()
{
    SendMessageA(g_bar, PBM_SETPOS, 0x7fffffff, 0);
    if (auto destroy = (BOOL(WINAPI*)(HWND))(void*)user32Function("ShutdownBlockReasonDestroy"))
        destroy(g_window);
    g_window = NULL;
}

bool isRemoving()
{
    return g_window != NULL;
}
