// Speed of a folder sweep against its floor: sweepInstalledFiles over an
// installation of 10,000 files in 100 subfolders (one [delfiles] pattern
// each), and a bare loop of DeleteFileA over the same files.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "env/removal_lists.h"
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
    std::vector<double> sweeps, floors;
    for (int round = 0; round < kRounds; ++round) {
        // Turn about, so that neither side always meets a warmer system.
        for (int side = 0; side < 2; ++side) {
            bool sweeping = (side + round) % 2 == 0;
            std::vector<std::string> files = makeInstallation();
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            if (sweeping) {
                sweepInstalledFiles(kFolder);
            } else {
                for (const std::string& file : files)
                    DeleteFileA(file.c_str());
            }
            QueryPerformanceCounter(&end);
            (sweeping ? sweeps : floors).push_back(seconds(start, end));
            for (int d = 0; d < kFolders; ++d) {
                char folder[MAX_PATH];
                sprintf(folder, "%s\\data%02d", kFolder, d);
                RemoveDirectoryA(folder);
            }
        }
        printf("round %d: sweep %.3f s, DeleteFileA loop %.3f s\n", round + 1, sweeps.back(), floors.back());
    }
    RemoveDirectoryA(kFolder);
    std::sort(sweeps.begin(), sweeps.end());
    std::sort(floors.begin(), floors.end());
    double sweep = sweeps[kRounds / 2], floor = floors[kRounds / 2];
    printf("%d files in %d folders, median of %d rounds: sweep %.3f s, DeleteFileA loop %.3f s, ratio %.2f (goal 1.2 or less)\n",
           kFolders * kFilesPerFolder, kFolders, kRounds, sweep, floor, sweep / floor);
    return 0;
}
