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

// A movable copy of data, the kind of block the clipboard takes; NULL when
// memory is short.
HGLOBAL globalCopy(const void* data, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* p = block ? GlobalLock(block) : NULL;
    if (p) {
        memcpy(p, data, size);
        GlobalUnlock(block);
    } else if (block) {
        GlobalFree(block);
        block = NULL;
    }
    return block;
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
    HGLOBAL block = globalCopy(text, strlen(text) + 1);
    if (!block)
        return -1;
    // Text without a locale of its own is tagged with the keyboard language
    // active at the copy, and a program that pastes Unicode converts it by
    // that language's code page: the Shift-JIS text is tagged Japanese, or
    // a Japanese system whose user types in English pastes it garbled.
    const LCID japanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT);
    HGLOBAL locale = globalCopy(&japanese, sizeof japanese);
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
        if (taken && locale && SetClipboardData(CF_LOCALE, locale))
            locale = NULL;
        closed = CloseClipboard() != 0;
    }
    // A block the clipboard has taken is the clipboard's to free.
    if (!taken)
        GlobalFree(block);
    if (locale)
        GlobalFree(locale);
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
