#pragma once

// The program file's path into path (MAX_PATH bytes); -1 when the system
// gives none that fits (a cut path would name another file).
int programPath(char* path);
// The program file's folder into folder (MAX_PATH bytes): its path cut at
// the last separator, a drive root keeping its backslash. -1 when there is
// none.
int programFolder(char* folder);
// Makes the folder of the program file the current directory.
void enterProgramFolder();
