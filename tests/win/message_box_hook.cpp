#include "win/message_box_hook.h"

#include <string.h>

namespace {

HHOOK g_hook;
std::function<int(const SeenBox&)> g_answer;
SeenBox g_last;
int g_count;

BOOL CALLBACK findText(HWND child, LPARAM)
{
    char className[32], text[2048];
    GetClassNameA(child, className, sizeof className);
    if (_stricmp(className, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > (int)g_last.text.size())
        g_last.text = text;
    return TRUE;
}

LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = (HWND)wParam;
        char className[32], caption[512];
        GetClassNameA(box, className, sizeof className);
        if (strcmp(className, "#32770") == 0) {
            ++g_count;
            g_last = SeenBox();
            g_last.owner = GetWindow(box, GW_OWNER);
            GetWindowTextA(box, caption, sizeof caption);
            g_last.caption = caption;
            EnumChildWindows(box, findText, 0);
            g_last.hasRetry = GetDlgItem(box, IDRETRY) != NULL;
            g_last.hasCancel = GetDlgItem(box, IDCANCEL) != NULL;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(g_answer(g_last), BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

}  // namespace

MessageBoxHook::MessageBoxHook(std::function<int(const SeenBox&)> answer)
{
    g_answer = answer;
    g_count = 0;
    g_last = SeenBox();
    g_hook = SetWindowsHookExA(WH_CBT, onCbt, NULL, GetCurrentThreadId());
}

MessageBoxHook::MessageBoxHook(int button) : MessageBoxHook([button](const SeenBox&) { return button; }) {}

MessageBoxHook::~MessageBoxHook()
{
    UnhookWindowsHookEx(g_hook);
    g_hook = NULL;
}

int MessageBoxHook::count() const
{
    return g_count;
}

const SeenBox& MessageBoxHook::last() const
{
    return g_last;
}
