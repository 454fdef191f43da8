// Speed of a folder sweep against its floor: sweepInstalledFiles over an
// installation of 10,000 files in 100 subfolders (one [delfiles] pattern
// each), a bare loop of DeleteFileA over the same files, and the check for
// files in use followed by the sweep, as an uninstall runs them.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "env/removal_lists.h"
#include "uninstall/files_in_use_win.h"
#include "uninstall/folder_sweep_win.h"

namespace {

const char kFolder[] = "C:\\bench-sweep";
const int kFolders = 100;
const int kFilesPerFolder = 100;
const int kRounds = 5;

std::vector<std::string> makeInstallation()
{
    std::vector<std::string> files;
    CreateDirectoryA(kFolder, NULL);
    for (int d = 0; d < kFolders; ++d) {
        char folder[MAX_PATH];
        sprintf(folder, "%s\\data%02d", kFolder, d);
        CreateDirectoryA(folder, NULL);
        for (int f = 0; f < kFilesPerFolder; ++f) {
            char path[MAX_PATH];
            sprintf(path, "%s\\file%03d.dat", folder, f);
            HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            DWORD written;
            WriteFile(h, path, 16, &written, NULL);
            CloseHandle(h);
            files.push_back(path);
        }
    }
    return files;
}

double seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

}  // namespace

int main()
{
    // One pattern a folder, through the program's own reader.
    const char* lists = "C:\\bench-sweep.env";
    FILE* env = fopen(lists, "wt");
    fputs("[delfiles]\n", env);
    for (int d = 0; d < kFolders; ++d)
        fprintf(env, "data%02d\\*.dat\n", d);
    fputs("-\n", env);
    fclose(env);
    readRemovalLists(lists);
    DeleteFileA(lists);
    SetCurrentDirectoryA("C:\\");
    enum { Floor, Sweep, CheckAndSweep, kSides };
    const char* const names[kSides] = {"DeleteFileA loop", "sweep", "check and sweep"};
    std::vector<double> times[kSides];
    for (int round = 0; round < kRounds; ++round) {
        // Turn about, so that no side always meets a warmer system.
        for (int turn = 0; turn < kSides; ++turn) {
            int side = (turn + round) % kSides;
            std::vector<std::string> files = makeInstallation();
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            if (side == Floor) {
                for (const std::string& file : files)
                    DeleteFileA(file.c_str());
            } else {
                char inUse[IN_USE_TEXT_BYTES];
                SweptFolder folder = {kFolder, holdFolder(kFolder)};
                MarkedFiles marked = {};
                if (side == CheckAndSweep) {
                    findFilesInUse(folder, false, inUse, sizeof inUse, &marked, nullptr);
                    deleteMarkedFiles(&marked, nullptr);
                }
                sweepInstalledFiles(folder, kDeleteFiles);
                CloseHandle(folder.held);
            }
            QueryPerformanceCounter(&end);
            times[side].push_back(seconds(start, end));
            for (int d = 0; d < kFolders; ++d) {
                char folder[MAX_PATH];
                sprintf(folder, "%s\\data%02d", kFolder, d);
                RemoveDirectoryA(folder);
            }
        }
        printf("round %d:", round + 1);
        for (int side = 0; side < kSides; ++side)
            printf(" %s %.3f s%s", names[side], times[side].back(), side + 1 < kSides ? "," : "\n");
    }
    RemoveDirectoryA(kFolder);
    double median[kSides];
    for (int side = 0; side < kSides; ++side) {
        std::sort(times[side].begin(), times[side].end());
        median[side] = times[side][kRounds / 2];
    }
    printf("%d files in %d folders, median of %d rounds: DeleteFileA loop %.3f s, sweep %.3f s, check and sweep %.3f s\n",
           kFolders * kFilesPerFolder, kFolders, kRounds, median[Floor], median[Sweep], median[CheckAndSweep]);
    printf("sweep against the DeleteFileA loop %.2f (goal 1.2 or less); check and sweep against the sweep %.2f (goal 1.5 "
           "or less)\n",
           median[Sweep] / median[Floor], median[CheckAndSweep] / median[Sweep]);
    return 0;
}
