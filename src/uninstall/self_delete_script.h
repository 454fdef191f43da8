// The batch script that deletes the uninstaller once its process has ended,
// then the install folder. Built here as text; the Win32 layer writes it.
#pragma once
#include <stddef.h>

enum { SCRIPT_BYTES = 4096 };  // ample for seven lines of paths of 259 bytes

// Builds the script for the running executable exePath. tempFolder is the
// temporary folder, with or without a trailing separator. scriptPath and
// pifPath (MAX_PATH_BYTES each) receive where the script goes and its
// companion .pif; script (scriptSize bytes) receives the script's bytes,
// lines ending in CR LF, to be written unchanged (binary mode). With
// removeParentFolder 1 the folder above the install folder is removed too.
// -1 (no script) when exePath has no separator or anything would not fit.
int buildSelfDeleteScript(const char* exePath, const char* tempFolder, int removeParentFolder,
                          char* scriptPath, char* pifPath, char* script, size_t scriptSize);

enum { SCRIPT_COMMAND_BYTES = 2 * 260 + 64 };  // two paths and the switches

// How the script is started: application receives the system's own cmd.exe
// in systemFolder (MAX_PATH_BYTES); commandLine (size bytes) receives
//   cmd.exe /d /v:off /s /c ""<systemFolder>\chcp.com" 932 >nul & "<scriptPath>""
// without the user's AutoRun commands and delayed expansion, with the
// console switched to code page 932 (where the system has it) before the
// script is read. A scriptPath holding '%' is named relative to the
// current directory, which must then be its folder. -1 when anything would
// not fit.
int buildScriptCommand(const char* systemFolder, const char* scriptPath, char* application, char* commandLine,
                       size_t size);
