#include "shell/confirm_dialog.h"


#include "res/resource.h"
#include "shell/main_window.h"
#include "shell/report_win.h"

namespace {

// The prompt reaches the dialog through this buffer, not through the
// creation parameter.
char g_prompt[512];
int g_deleteSaveFiles;

INT_PTR CALLBACK confirmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        g_deleteSaveFiles = 0;
        centerOnScreen(dialog);
        SetDlgItemTextA(dialog, IDC_PROMPT, g_prompt);
        return TRUE;  // the dialog manager focuses the first tab stop, OK
    case WM_COMMAND:
        if (wParam == IDOK) {
            g_deleteSaveFiles = IsDlgButtonChecked(dialog, IDC_DELETE_SAVES) == BST_CHECKED;
            EndDialog(dialog, 1);
            return TRUE;
        }
        if (wParam == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

int confirmUninstall(const char* folder)
{
    // The folder is an argument, never the format: a '%' in a path is shown
    // as it is.
    formatText(g_prompt, sizeof g_prompt, "フォルダ[%s]のファイルを削除します。\nよろしいですか？", folder);
    HWND owner = mainWindowHandle();
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(owner, GWLP_HINSTANCE);
    // A dialog that cannot be made (-1) is no permission to delete.
    return DialogBoxParamA(instance, "UNINSTALL", owner, confirmDialogProc, 0) == 1 ? 0 : -1;
}

int deleteSaveFilesChosen()
{
    return g_deleteSaveFiles;
}
