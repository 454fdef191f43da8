#pragma once

// Asks, with the dialog "UNINSTALL", whether the folder's files may be
// deleted: 0 when the user pressed OK, -1 when cancelled.
int confirmUninstall(const char* folder);
// Whether "セーブファイルも削除する" was ticked at the last OK: 1 or 0.
int deleteSaveFilesChosen();
