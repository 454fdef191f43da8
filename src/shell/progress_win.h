// The removal's progress in the main window, and the window kept answering
// while the removal runs on its one thread: Windows greys out a window that
// has not looked at its messages for five seconds and offers to end it.
#pragma once
#include <windows.h>

// Disables the window's buttons and shows an empty progress bar above
// them. Until endProgress the window refuses to let the session end, and
// says why where the system asks (Vista and later).
void beginProgress(HWND window);
// How many files the removal has ahead of it.
void setProgressTotal(int total);
// One file dealt with.
void stepProgress();
// Handles the messages waiting for the window, at most every few dozen
// milliseconds: cheap enough to call after every file.
void keepAnswering();
// The bar full; the session may end again.
void endProgress();
// Between beginProgress and endProgress.
bool isRemoving();
