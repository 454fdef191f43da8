// The title's shortcuts in the Start menu's programs folder and on the
// desktop, and the title and group folders once they are empty.
#pragma once
#include <windows.h>

void removeProgramShortcuts();
void removeDesktopShortcut();
// The path of a shell folder (a CSIDL_ constant) into path (MAX_PATH_BYTES).
bool getSpecialFolderPath(HWND owner, int folder, char* path);
// NT family, major version 6 or later: the all-users folders are the
// installer's. Asked of the system once.
bool isNt6OrLater();
