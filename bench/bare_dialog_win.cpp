// The yardstick of the start-up benchmark: a program that does nothing but
// show the uninstaller's own window template with DialogBoxParamA, with the
// same manifest and the same controls, and ends when it is closed.
#include <windows.h>

namespace {

INT_PTR CALLBACK bareDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        EndDialog(dialog, 0);
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    DialogBoxParamA(instance, "MAINDIALOG", NULL, bareDialogProc, 0);
    return 0;
}
