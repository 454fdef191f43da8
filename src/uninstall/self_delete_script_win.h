#pragma once

// Writes the script that deletes the uninstaller once this process has
// ended (and the install folder, and with removeParentFolder 1 the folder
// above it) and starts it hidden. Returns at once.
void launchSelfDeleteScript(int removeParentFolder);

// The two halves of the launch, apart so that each can be tried on its own.
// Writes script (NUL-terminated, written without its NUL) as a new file at
// scriptPath, after removing whatever sat at that name (a link itself, never
// its target). 0 when every byte is on disk; -1 otherwise, and nothing of a
// partly written file is left behind.
int writeSelfDeleteScript(const char* scriptPath, const char* script);
// Starts the script through the system's cmd.exe, hidden, at idle priority,
// in the script's folder. 0 when started, -1 otherwise.
int startSelfDeleteScript(const char* scriptPath);
