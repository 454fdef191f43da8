#include "shell/progress_win.h"

#include <commctrl.h>

#include "res/resource.h"

namespace {

// Often enough that neither Windows nor the user takes the window for hung,
// seldom enough that the removal hardly notices.
const DWORD kAnswerMs = 30;

HWND g_window;
HWND g_bar;
int g_total = 1;
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
    g_total = 1;
    g_done = 0;
    g_answered = GetTickCount();
    // The topmost button left is "アンインストール"; the bar goes above it,
    // as wide, a small gap between them.
    static const int kButtons[] = {IDC_BUTTON_TOP, IDC_BUTTON_MIDDLE, IDC_BUTTON_BOTTOM};
    HWND top = NULL;
    for (int id : kButtons) {
        HWND button = GetDlgItem(window, id);
        if (!button)
            continue;
        if (!top)
            top = button;
        EnableWindow(button, FALSE);
    }
    RECT place = {};
    if (top) {
        GetWindowRect(top, &place);
        MapWindowPoints(NULL, window, (POINT*)&place, 2);
    }
    RECT units = {0, 5, 0, 9};  // gap and height, in dialog units
    MapDialogRect(window, &units);
    int height = units.bottom;
    g_bar = CreateWindowExA(0, PROGRESS_CLASSA, NULL, WS_CHILD | WS_VISIBLE, place.left, place.top - units.top - height,
                            place.right - place.left, height, window, (HMENU)IDC_PROGRESS, GetModuleHandleA(NULL), NULL);
    if (auto create = (BOOL(WINAPI*)(HWND, LPCWSTR))(void*)user32Function("ShutdownBlockReasonCreate"))
        create(window, L"アンインストール中です");
}

void setProgressTotal(int total)
{
    g_total = total > 0 ? total : 1;
    SendMessageA(g_bar, PBM_SETRANGE32, 0, g_total);
}

void stepProgress()
{
    ++g_done;
    keepAnswering();
}

void keepAnswering()
{
    DWORD now = GetTickCount();
    if (!g_window || now - g_answered < kAnswerMs)
        return;
    g_answered = now;
    // More files than the check found (some appeared since) keep it full.
    SendMessageA(g_bar, PBM_SETPOS, g_done < g_total ? g_done : g_total, 0);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // For the window's own loop, which meets it again once the
            // removal has returned.
            PostQuitMessage((int)message.wParam);
            break;
        }
        if (!IsDialogMessageA(g_window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void endProgress()
{
    SendMessageA(g_bar, PBM_SETPOS, g_total, 0);
    if (auto destroy = (BOOL(WINAPI*)(HWND))(void*)user32Function("ShutdownBlockReasonDestroy"))
        destroy(g_window);
    g_window = NULL;
}

bool isRemoving()
{
    return g_window != NULL;
}
