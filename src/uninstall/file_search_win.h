// The one file search of the uninstall engine (FileSearch): one at a time,
// a new one closes the one before.
#pragma once

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
