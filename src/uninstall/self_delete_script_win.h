#pragma once

// Writes the script that deletes the uninstaller once this process has
// ended (and the install folder, and with removeParentFolder 1 the folder
// above it) and starts it hidden. Returns at once.
void launchSelfDeleteScript(int removeParentFolder);
