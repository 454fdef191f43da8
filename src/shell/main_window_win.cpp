#include "shell/main_window.h"

#include <shellapi.h>

#include "env/settings_keys.h"
#include "env/settings_table.h"
#include "image/rct_image.h"
#include "res/resource.h"
#include "shell/progress_win.h"
#include "shell/report_win.h"
#include "shell/shell32_win.h"
#include "uninstall/uninstall_procedure.h"

namespace {

enum ButtonAction { ActionNone = 0, ActionClose = 3, ActionUninstall = 4, ActionOpenReadme = 5 };

struct ButtonSlot {
    int controlId;
    ButtonAction action;
};

// In the fixed order of the control ids; the window fills the actions.
ButtonSlot g_slots[3] = {
    {IDC_BUTTON_BOTTOM, ActionNone},
    {IDC_BUTTON_MIDDLE, ActionNone},
    {IDC_BUTTON_TOP, ActionNone},
};

// Set while a command runs: the nested loops of the confirmation and the
// message boxes keep dispatching to this window, and a second command or a
// close request must not start meanwhile.
int g_busy;
char g_setting[128];

// The title picture, owned from the window's start until it ends; none when
// insttscr.rct is not a picture, and then nothing is placed or drawn.
ImageSurface* g_picture;
int g_pictureX;
int g_pictureY;

void layOutButtons(HWND window)
{
    SetDlgItemTextA(window, IDC_BUTTON_BOTTOM, "中止");
    g_slots[0].action = ActionClose;
    lookupSetting("INSTREADME", g_setting, sizeof g_setting, "");
    int next = 1;
    if (g_setting[0] != '\0' && g_setting[0] != '-') {
        SetDlgItemTextA(window, IDC_BUTTON_MIDDLE, g_setting);
        g_slots[1].action = ActionOpenReadme;
        next = 2;
    }
    SetDlgItemTextA(window, g_slots[next].controlId, "アンインストール");
    g_slots[next].action = ActionUninstall;
    for (int i = next + 1; i < 3; ++i) {
        DestroyWindow(GetDlgItem(window, g_slots[i].controlId));
        g_slots[i].action = ActionNone;
    }
}

// Both offsets come from the client height, so a square picture keeps the
// same margin left, above and below, and the buttons keep the right side.
void loadPicture(HWND window)
{
    g_picture = loadRctImage("insttscr.rct");
    if (!g_picture)
        return;
    RECT client;
    GetClientRect(window, &client);
    int height = client.bottom - client.top;
    g_pictureX = (height - g_picture->width) / 2;
    g_pictureY = (height - g_picture->height) / 2;
}

void paintPicture(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (g_picture)
        StretchDIBits(dc, g_pictureX, g_pictureY, g_picture->width, g_picture->height, 0, 0, g_picture->width,
                      g_picture->height, g_picture->bits, (BITMAPINFO*)g_picture->bitmapInfo, DIB_RGB_COLORS,
                      SRCCOPY);
    EndPaint(window, &paint);
}

void endWindow(HWND window)
{
    // Cleared, so a paint that still arrives before the window goes draws nothing.
    freeImageSurface(g_picture);
    g_picture = nullptr;
    EndDialog(window, 0);
}

void runCommand(HWND window, WPARAM command)
{
    if (g_busy)
        return;
    g_busy = 1;
    for (const ButtonSlot& slot : g_slots) {
        if ((WPARAM)slot.controlId != command)
            continue;
        switch (slot.action) {
        case ActionClose:
            endWindow(window);
            break;
        case ActionUninstall:
            if (runUninstall() == 0)
                endWindow(window);
            break;
        case ActionOpenReadme:
            lookupSetting("INSTREADMEFL", g_setting, sizeof g_setting, "readme.txt");
            openReadme(g_setting);
            break;
        case ActionNone:
            break;
        }
        break;
    }
    g_busy = 0;
}

}  // namespace

void centerOnScreen(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    HDC dc = GetDC(window);
    int screenWidth = GetDeviceCaps(dc, HORZRES);
    int screenHeight = GetDeviceCaps(dc, VERTRES);
    ReleaseDC(window, dc);
    SetWindowPos(window, NULL, (screenWidth - (r.right - r.left)) / 2, (screenHeight - (r.bottom - r.top)) / 2, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE);
}

void openReadme(const char* path)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.hwnd = mainWindowHandle();
    info.lpVerb = "open";
    info.lpFile = path;
    info.nShow = SW_SHOWNORMAL;
    if (auto shellExecuteEx = (decltype(&ShellExecuteExA))(void*)shell32Function("ShellExecuteExA"))
        shellExecuteEx(&info);
}

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        setMainWindowHandle(window);
        centerOnScreen(window);
        g_busy = 0;
        SetWindowTextA(window, uninstallTitle());
        layOutButtons(window);
        loadPicture(window);
        return 0;
    case WM_PAINT:
        paintPicture(window);
        return 0;
    case WM_COMMAND:
        runCommand(window, wParam);
        return 0;
    case WM_CLOSE:
        if (!g_busy)
            endWindow(window);
        return 0;
    case WM_QUERYENDSESSION:
        // Ended half way, the removal leaves an installation that can only
        // be finished by starting the program again: the user is asked
        // first. A forced end still ends it.
        if (!isRemoving())
            return 0;
        SetWindowLongPtrA(window, DWLP_MSGRESULT, FALSE);
        return TRUE;
    }
    return 0;
}
