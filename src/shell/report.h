// The program's one way of telling the user something, and its one
// allocation routine that reports running out of memory. Declared without
// <windows.h> so that the portable readers can call them; the native tests
// link fakes in their place.
#pragma once
#include <stddef.h>

// Error box with Retry and Cancel; returns on Retry, ends the process with
// exit code -1 on Cancel (exit-time handlers run).
void reportRetryError(const char* format, ...);
// Error box with OK; returns after OK.
void reportError(const char* format, ...);
// Information box with OK; leaves the clipboard alone.
void reportInfo(const char* format, ...);

// A block from the C heap, or nullptr after the out-of-memory box.
// Release with free().
void* allocOrReport(size_t size);
