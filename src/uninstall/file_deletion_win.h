// Deleting one file that a sweep found, through its own handle; telling
// whether another program keeps it from going; and what becomes of a file
// that another program took into use after the check: it goes at the next
// restart.
#pragma once
#include <windows.h>

#include "uninstall/nt_file_win.h"

// A file that a sweep found and matched.
struct FoundFile {
    HANDLE folder;     // the held folder that holds it
    NtName name;       // its own name there, as the folder lists it
    const char* path;  // its whole path, in the ANSI code page
    size_t relative;   // where in path the part below the install folder begins
};

// Opens the file for deletion and marks it, so that it goes when marked
// closes; the mark can be taken back before (unmarkFile). The answer says
// whether another program keeps the file from going (isKeptByAnother): it
// holds it open without letting others delete it, or runs it, or has it
// mapped into memory. A read-only file refuses too, by its own choice,
// which is no one's use.
NTSTATUS markFileForDeletion(const FoundFile& file, HANDLE* marked);
bool isKeptByAnother(NTSTATUS status);
// Takes the mark back and closes the handle: the file stays.
void unmarkFile(HANDLE marked);

// Deletes the file. While another program keeps it, tries again a few
// times, briefly (a virus scanner's short hold); one still kept then is
// put off to the next restart. Anything else that refuses (a read-only
// file) leaves it where it is.
void deleteFoundFile(const FoundFile& file);

// Marks the folder at path for removal at the next restart, when it is empty
// by then; mark it after the files in it.
void removeFolderAtRestart(const char* path);
// How many files have been put off to the next restart.
int filesDeletedAtRestart();
// Whether the file name, directly in the install folder, has been put off:
// it is the installation's, not the user's.
bool isDeletedAtRestart(const char* name);
