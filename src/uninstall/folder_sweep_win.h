// Deleting files by pattern inside the install folder, and the subfolders
// the patterns name once they are empty. The current directory is the same
// before and after every call.
#pragma once

// The fixed files of an installation and every [delfiles] entry.
void sweepInstalledFiles(const char* folder);
// Every [delfiles_user] entry.
void sweepUserFiles(const char* folder);
// The files matching pattern (relative to folder), then the innermost
// subfolder it names. A pattern that could reach outside folder, passes
// through a junction or symbolic link, or does not fit a path buffer is
// left alone altogether.
void sweepPattern(const char* folder, const char* pattern);
// Deletes the files matching pattern with folder made current; no checks.
void deleteMatchingFiles(const char* folder, const char* pattern);
