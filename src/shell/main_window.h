#pragma once
#include <windows.h>

// Dialog procedure of the program's one window, template "MAINDIALOG".
INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void centerOnScreen(HWND window);
void openReadme(const char* path);
