// Deleting one file that a sweep found, through its own handle; telling
// whether another program keeps it from going; and what becomes of a file
// that another program took into use after the check.
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
// times, briefly (a virus scanner's short hold). One still kept then is
// moved out of the installation, into a folder of the program's own on the
// same volume that only administrators and SYSTEM may change, and marked
// for deletion at the next restart there: nothing another user puts where
// it stood, and no file of a reinstall, is deleted at the restart. One
// that cannot be moved either (held without letting others delete it,
// which keeps it from being renamed too) stays where it is, unmarked, and
// is named in the last box. Anything else that refuses (a read-only file)
// leaves it where it is.
void deleteFoundFile(const FoundFile& file);

// Once the removal is over: marks the restart's folder for removal after
// the files in it, or removes it now when it holds none. Whether a file
// goes at the next restart.
bool finishRestartDeletions();
// The files (below the install folder) that could neither be deleted nor
// put off to the restart, listed as a box lists them; empty when none.
const char* filesLeftBehind();
// Whether a file of the user's is left directly in the held install folder:
// any but the uninstaller itself, a file left behind as above, and a file
// whose deletion is pending (Windows 7 and 8.1 keep the name of a deleted
// file that another program holds with delete sharing until it lets go). A
// name the ANSI code page cannot spell is the user's.
int userFilesRemain(HANDLE folder);

// Makes a folder; tests read the security it is given.
extern BOOL(WINAPI* createDirectory)(LPCSTR path, LPSECURITY_ATTRIBUTES security);
