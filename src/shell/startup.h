#pragma once

// Makes the folder of the program file the current directory; a program in
// a drive root keeps the root's backslash.
void enterProgramFolder();
