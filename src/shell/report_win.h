#pragma once
#include <windows.h>

#include "shell/report.h"

void setMainWindowHandle(HWND window);
HWND mainWindowHandle();
// The main window's current title, valid until the next call; empty before
// the main window exists.
const char* mainWindowCaption();
// Formats into text of size bytes, cut and always terminated.
void formatText(char* text, size_t size, const char* format, ...);
// 0 when the text was handed to the clipboard, tagged Japanese when memory
// allows; -1 when it was not (no memory, or the clipboard stayed held by
// another program), and then the clipboard may have been emptied.
int copyTextToClipboard(const char* text);
