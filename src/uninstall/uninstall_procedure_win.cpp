#include "uninstall/uninstall_procedure.h"

#include "base/codepage.h"
#include "env/settings_keys.h"
#include "shell/confirm_dialog.h"
#include "shell/progress_win.h"
#include "shell/report_win.h"
#include "shell/startup.h"
#include "uninstall/file_deletion_win.h"
#include "uninstall/files_in_use_win.h"
#include "uninstall/folder_sweep_win.h"
#include "uninstall/path.h"
#include "uninstall/registry_win.h"
#include "uninstall/self_delete_script_win.h"
#include "uninstall/shortcuts_win.h"

namespace {

// The folder of the running uninstaller into folder (MAX_PATH_BYTES). -1
// when its path has fewer than two separators: a program in a drive root
// has no folder of its own to remove.
int findInstallFolder(char* folder)
{
    if (programFolder(folder) != 0)
        return -1;
    const char* last = findLastSeparator(folder);
    return last && last[1] ? 0 : -1;
}

// The removal's own action: each file deleted, and counted on the bar.
void deleteAndStep(const FoundFile& file, void*)
{
    deleteFoundFile(file);
    stepProgress();
}

}  // namespace

int runUninstall()
{
    const char* first = settingRegGlobal();
    const char* second = settingRegLocal();
    if (probeMachineKeyAccess(first, second) != 0) {
        reportError("インストールにはAdministrator権限が必要です。");
        return -1;
    }
    char folder[MAX_PATH_BYTES];
    if (findInstallFolder(folder) != 0) {
        reportRetryError("インストール先の特定に失敗しました");
        EndDialog(mainWindowHandle(), 0);
        return 0;
    }
    if (confirmUninstall(folder) != 0) {
        reportError("アンインストールを中止しました");
        return -1;
    }

    // The window keeps answering from here on, and shows how far the
    // removal has come.
    beginProgress(mainWindowHandle());
    // Held from here on: neither it nor a folder above it can be swapped
    // for a link while the sweeps work in it.
    SweptFolder swept = {folder, holdFolder(folder)};
    // Nothing goes while another program uses a file that would go: the
    // user closes the application and tries again, or cancels with the
    // installation whole and uninstallable.
    char inUse[IN_USE_TEXT_BYTES];
    MarkedFiles marked = {};
    while (findFilesInUse(swept, deleteSaveFilesChosen(), inUse, sizeof inUse, &marked, keepAnswering) > 0)
        reportRetryError("次のファイルは使用中のため削除できません。\nアプリケーションを終了してから[再試行]を押してください。\n\n%s",
                         inUse);

    // From here on nothing stops the removal: each step runs whatever
    // became of the one before. The files the check marked go first.
    setProgressTotal(marked.found);
    deleteMarkedFiles(&marked, stepProgress);
    const SweepAction removal = {deleteAndStep, nullptr, true};
    sweepInstalledFiles(swept, removal);
    if (deleteSaveFilesChosen())
        sweepUserFiles(swept, removal);
    removeUserRegistryTree(first, second);
    removeProgramShortcuts();
    removeDesktopShortcut();
    // The shell may have had to load first.
    keepAnswering();
    // Again once the shell has been at work: a key written back meanwhile
    // goes too; after a clean first pass this finds nothing.
    if (first[0] != '-')
        removeUserRegistryTree(first, second);
    if (settingIniFile()[0] != '-')
        removeIniSection(settingIniFile(), settingIniSection());
    removeUninstallEntry();
    // Last, what the program needs to start: ended before this, it starts
    // again from the folder and finishes the uninstall.
    sweepStartFiles(swept, removal);
    endProgress();

    int removeParentFolder = 0;
    const char* instFolder = settingInstFolder();
    char parent[MAX_PATH_BYTES];
    int userFiles = userFilesRemain(swept.held);
    if (swept.held != INVALID_HANDLE_VALUE)
        CloseHandle(swept.held);
    if (userFiles) {
        reportInfo("フォルダ[%s]にはユーザファイルが残っています。", folder);
    } else if (instFolder && matchInstFolderParent(parent, folder, instFolder) == 0) {
        // Fails while the install folder is inside; the script retries.
        RemoveDirectoryA(parent);
        removeParentFolder = 1;
    }
    // Files taken into use since the check went to the restart's folder,
    // or stayed where they were.
    bool later = finishRestartDeletions();
    const char* left = filesLeftBehind();
    reportInfo("アンインストールを終了します%s%s%s", later ? "\n一部のファイルは再起動後に削除されます。" : "",
               left[0] ? "\n\n次のファイルは削除できませんでした。\n\n" : "", left);
    launchSelfDeleteScript(removeParentFolder);
    return 0;
}
