#include "shell/report_win.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

HWND g_mainWindow;
char g_caption[260];

enum ReportKind { ReportRetryError, ReportError, ReportInfo };

// msvcrt's _vsnprintf leaves a cut text unterminated: terminate it ourselves,
// so a long path can never run past the buffer.
void formatTextArgs(char* text, size_t size, const char* format, va_list args)
{
    _vsnprintf(text, size - 1, format, args);
    text[size - 1] = '\0';
}

void showReport(ReportKind kind, const char* format, va_list args)
{
    char text[1024];
    formatTextArgs(text, sizeof text, format, args);
    SetForegroundWindow(mainWindowHandle());
    if (kind != ReportInfo)
        copyTextToClipboard(text);
    UINT flags = kind == ReportRetryError ? MB_RETRYCANCEL | MB_ICONERROR
               : kind == ReportError      ? MB_OK | MB_ICONERROR
                                          : MB_OK;
    int answer = MessageBoxA(mainWindowHandle(), text, mainWindowCaption(), flags);
    if (kind == ReportRetryError && answer != IDRETRY)
        exit(-1);
}

// Another program may hold the clipboard open for a moment: a few tries,
// a short pause between them.
int openClipboard(HWND owner)
{
    for (int tries = 1;; ++tries) {
        if (OpenClipboard(owner))
            return 0;
        if (tries == 5)
            return -1;
        Sleep(20);
    }
}

}  // namespace

void formatText(char* text, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    formatTextArgs(text, size, format, args);
    va_end(args);
}

void setMainWindowHandle(HWND window)
{
    g_mainWindow = window;
}

HWND mainWindowHandle()
{
    return g_mainWindow;
}

const char* mainWindowCaption()
{
    // Not asked without a window: Wine answers GetWindowText(NULL) with the
    // desktop's text, where Windows fails and the caption must stay empty.
    if (!g_mainWindow || GetWindowTextA(g_mainWindow, g_caption, sizeof g_caption) == 0)
        g_caption[0] = '\0';
    return g_caption;
}

void reportRetryError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    showReport(ReportRetryError, format, args);
    va_end(args);
}

void reportError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    showReport(ReportError, format, args);
    va_end(args);
}

void reportInfo(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    showReport(ReportInfo, format, args);
    va_end(args);
}

int copyTextToClipboard(const char* text)
{
    size_t n = strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, n);
    if (!block)
        return -1;
    void* p = GlobalLock(block);
    if (!p) {
        GlobalFree(block);
        return -1;
    }
    memcpy(p, text, n);
    GlobalUnlock(block);
    // Opened without a window, the clipboard is emptied to no owner and then
    // refuses the text; before the main window exists a message-only window
    // of our own stands in, and it is gone again before the box appears.
    HWND owner = GetActiveWindow();
    HWND standIn = NULL;
    if (!owner)
        owner = standIn = CreateWindowExA(0, "STATIC", NULL, 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    bool taken = false, closed = false;
    if (owner && openClipboard(owner) == 0) {
        taken = EmptyClipboard() && SetClipboardData(CF_TEXT, block);
        closed = CloseClipboard() != 0;
    }
    // A block the clipboard has taken is the clipboard's to free.
    if (!taken)
        GlobalFree(block);
    if (standIn)
        DestroyWindow(standIn);
    return taken && closed ? 0 : -1;
}

void* allocOrReport(size_t size)
{
    void* block = malloc(size);
    if (!block)
        MessageBoxA(NULL, "メモリ容量が不足しています。処理を中断します。", "malloc",
                    MB_OK | MB_ICONERROR);
    return block;
}
