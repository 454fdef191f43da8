// The one file search of the uninstall engine (FileSearch): one at a time,
// a new one closes the one before.
#pragma once
#include <windows.h>

// FindFirstFileA and FindNextFileA; tests put their own in their place, to
// fail a call or to act at the moment a search begins.
extern HANDLE(WINAPI* findFirstFile)(LPCSTR, LPWIN32_FIND_DATAA);
extern BOOL(WINAPI* findNextFile)(HANDLE, LPWIN32_FIND_DATAA);

// 0 when at least one entry matches pattern, 1 when none does (or the
// pattern is longer than a path buffer holds).
int startFileSearch(const char* pattern);
// The next match that is not a folder, as the pattern's drive and folder
// with the entry's long name; nullptr when the search is over. The text is
// overwritten by the next call.
const char* nextFoundFile();
// The long name of the file nextFoundFile returned last, exactly as the
// search handed it back (in the ANSI code page, best-fit characters and all).
const char* foundFileName();
