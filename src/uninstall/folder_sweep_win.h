// Deleting files by pattern inside the install folder, and the subfolders
// the patterns name once they are empty. The current directory is the same
// before and after every call.
#pragma once
#include <windows.h>

#include "uninstall/removal_pattern.h"

// Opens the folder at path so that it can be neither renamed, removed nor
// replaced until the handle is closed, and on Windows neither can any
// folder above it; a link is held itself, not what it leads to.
// INVALID_HANDLE_VALUE when it cannot be opened so.
HANDLE holdFolder(const char* path);
// The fixed files of an installation and every [delfiles] entry.
void sweepInstalledFiles(const char* folder);
// Every [delfiles_user] entry.
void sweepUserFiles(const char* folder);
// Calls action with the path (relative to folder, the current directory
// meanwhile) of every file that sweepInstalledFiles, and with userFiles
// sweepUserFiles, would delete, found and matched as they find and match
// them; deletes and removes nothing.
typedef void (*FoundFileAction)(const char* path);
void visitSweptFiles(const char* folder, bool userFiles, FoundFileAction action);
// The files matching entry (relative to folder), then the innermost
// subfolder it names. Each folder on the way is held from its check until
// its files are deleted. An entry that is refused, passes through a
// junction, mount point or symbolic link, a folder that cannot be held, or
// does not fit a path buffer is left alone altogether.
void sweepPattern(const char* folder, const char* entry);
// Deletes the files that the search for pattern finds with folder made
// current, each only when its long name, as handed back, is a plain name
// that matches the pattern's name: the search also matches short 8.3
// aliases, and the ANSI names it hands back may hold best-fit characters.
// A file that another program uses is put off to the next restart.
void deleteMatchingFiles(const char* folder, const RemovalPattern* pattern);
