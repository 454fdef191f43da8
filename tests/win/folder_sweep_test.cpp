// File search and folder sweeps against real files: what a sweep deletes,
// what it must leave, and that the current directory comes back.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "uninstall/file_search_win.h"
#include "uninstall/files_in_use_win.h"
#include "uninstall/folder_sweep_win.h"
#include "uninstall/removal_pattern.h"
#include "native/long_name_rules.h"
#include "win/engine_support.h"

using namespace harness;

namespace {

const std::string kRoot = "C:\\sweep-test";
const std::string kFolder = kRoot + "\\inst";

class FolderSweep : public testing::Test {
protected:
    void SetUp() override
    {
        removeTree(kRoot);
        makePath(kFolder + "\\");
        setRemovalList(&delfilesList, {});
    }
    void TearDown() override { removeTree(kRoot); }

    // Makes the paths (relative to the root), sweeps the folder with the
    // patterns, and returns what is left under the root.
    Inventory sweep(const std::vector<std::string>& paths, const std::vector<std::string>& delfiles)
    {
        for (const std::string& path : paths)
            makePath(kRoot + "\\" + path);
        setRemovalList(&delfilesList, delfiles);
        std::string before = currentDirectory();
        sweepInstalledFiles(kFolder.c_str());
        EXPECT_EQ(currentDirectory(), before);
        return fileInventory(kRoot);
    }
};

struct SweepCase {
    const char* what;
    std::vector<std::string> paths;
    std::vector<std::string> delfiles;
    Inventory left;
};

TEST_F(FolderSweep, DeletesWhatThePatternsName)
{
    const SweepCase cases[] = {
        {"fixed names and *.gid",
         {"inst\\install.arc", "inst\\install.env", "inst\\insttscr.rct", "inst\\a.gid", "inst\\B.GID",
          "inst\\dir.gid\\", "inst\\keep.txt", "inst\\sub\\c.gid"},
         {},
         {"inst\\", "inst\\dir.gid\\", "inst\\keep.txt", "inst\\sub\\", "inst\\sub\\c.gid"}},
        {"two levels: only the inner folder goes",
         {"inst\\a\\b\\x.dat", "inst\\a\\y.dat"},
         {"a\\b\\*.dat"},
         {"inst\\", "inst\\a\\", "inst\\a\\y.dat"}},
        {"no match, empty folder still removed", {"inst\\old\\"}, {"old\\*.none"}, {"inst\\"}},
        {"a final separator names the folder, doubled ones count once",
         {"inst\\save\\", "inst\\full\\x.sav", "inst\\a\\b\\x.dat"},
         {"save\\", "full\\", "a\\\\b\\\\*.dat", "a\\\\"},
         {"inst\\", "inst\\full\\", "inst\\full\\x.sav"}},
        {"Japanese names with trail byte 0x5C",
         {"inst\\セーブソ\\1.sav", "inst\\表\\noext", "inst\\ソ.gid"},
         {"セーブソ\\*.sav", "表\\*"},
         {"inst\\"}},
        {"*.* leaves subfolders",
         {"inst\\a.txt", "inst\\noext", "inst\\sub\\b.txt"},
         {"*.*"},
         {"inst\\", "inst\\sub\\", "inst\\sub\\b.txt"}},
    };
    for (const SweepCase& c : cases) {
        SetUp();
        EXPECT_EQ(sweep(c.paths, c.delfiles), c.left) << c.what;
    }
}

TEST_F(FolderSweep, AllFilesPatternSparesOnlyFilesInUseAndReadOnly)
{
    for (const char* name : {"held.txt", "ro.txt", "hidden.txt", "system.txt"})
        makePath(kFolder + "\\" + name);
    SetFileAttributesA((kFolder + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((kFolder + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((kFolder + "\\system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    HANDLE held = CreateFileA((kFolder + "\\held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                              OPEN_EXISTING, 0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(sweep({}, {"*.*"}), (Inventory{"inst\\", "inst\\held.txt", "inst\\ro.txt"}));
    CloseHandle(held);
}

bool searchFinds(const std::string& pattern, const char* name)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    bool seen = false;
    if (search != INVALID_HANDLE_VALUE) {
        do
            seen = seen || !strcmp(found.cFileName, name);
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return seen;
}

// The rules a found file's long name must meet, beside the system's own
// search where that answers for the long name alone. The matcher is asked
// here too: only here does the system's code page decide whether it folds
// the full-width letters.
TEST_F(FolderSweep, SearchAgreesWithTheLongNameRules)
{
    for (const LongNameRule& c : kLongNameRules)
        makePath(kFolder + "\\" + c.name);
    for (const LongNameRule& c : kLongNameRules) {
        EXPECT_EQ(matchesLongName(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
        if (c.likeSearch) {
            EXPECT_EQ(searchFinds(kFolder + "\\" + c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
        }
    }
}

// Files in use are named once, however many patterns name them, and ten at
// the most, then "…".
TEST_F(FolderSweep, FilesInUseNamedOnceAndTenAtMost)
{
    std::vector<HANDLE> held;
    for (int i = 0; i < 12; ++i) {
        std::string path = kFolder + "\\" + std::to_string(i) + ".dat";
        makePath(path);
        held.push_back(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL));
    }
    char text[IN_USE_TEXT_BYTES];
    setRemovalList(&delfilesList, {"10.dat", "11.dat", "10.dat"});
    EXPECT_EQ(findFilesInUse(kFolder.c_str(), false, text, sizeof text), 2);
    EXPECT_STREQ(text, "10.dat\n11.dat");
    setRemovalList(&delfilesList, {"*.dat"});
    EXPECT_EQ(findFilesInUse(kFolder.c_str(), false, text, sizeof text), 12);
    EXPECT_EQ(std::count(text, text + strlen(text), '\n'), 10) << text;
    EXPECT_STREQ(strrchr(text, '\n'), "\n…");
    for (HANDLE file : held)
        CloseHandle(file);
}

int g_calls;

// FindNextFileA fails for a name whose ANSI form does not fit its record,
// after moving past it: every second entry here.
std::vector<std::string> g_unfit;
BOOL WINAPI failEverySecondName(HANDLE search, LPWIN32_FIND_DATAA found)
{
    if (!FindNextFileA(search, found))
        return FALSE;
    if (++g_calls % 2)
        return TRUE;
    g_unfit.push_back(found->cFileName);
    SetLastError(ERROR_MORE_DATA);
    return FALSE;
}

BOOL WINAPI failAlways(HANDLE, LPWIN32_FIND_DATAA)
{
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

TEST_F(FolderSweep, SearchGoesOnPastNamesThatDoNotFit)
{
    for (const char* name : {"1.dat", "2.dat", "3.dat", "4.dat", "5.dat", "6.dat"})
        makePath(kFolder + "\\" + name);
    findNextFile = failEverySecondName;
    Inventory left = sweep({}, {"*.dat"});
    Inventory unfit = {"inst\\"};
    for (const std::string& name : g_unfit)
        unfit.insert("inst\\" + name);
    EXPECT_EQ(left, unfit);
    EXPECT_EQ(g_unfit.size(), 2u);

    // A search that only ever fails ends all the same.
    findNextFile = failAlways;
    EXPECT_EQ(sweep({}, {"*.dat"}).size(), 2u);
    findNextFile = FindNextFileA;
}

// Another user who may write into the install folder renames a folder away
// mid-sweep and puts a link to elsewhere in its place: the deletions that
// follow by name would go through it. Held, the folder can be neither
// renamed nor replaced until its files are dealt with. The first try comes
// between the check and the search; Wine's search, unlike Windows', itself
// keeps the folder from being renamed while it runs. (Under Wine the
// folder above a held one can still be renamed, which Windows refuses.)
struct Race {
    std::string folder, away, target;
    HANDLE searching, tried;
    volatile LONG sweeping;
    LONG swaps;
};
Race g_race;

HANDLE WINAPI startRaceWithSearch(LPCSTR pattern, LPWIN32_FIND_DATAA found)
{
    SetEvent(g_race.searching);
    WaitForSingleObject(g_race.tried, INFINITE);
    return FindFirstFileA(pattern, found);
}

BOOL WINAPI endRaceWithSearch(HANDLE search, LPWIN32_FIND_DATAA found)
{
    BOOL more = FindNextFileA(search, found);
    if (!more)
        g_race.sweeping = 0;
    return more;
}

DWORD WINAPI swapFolderForLink(void*)
{
    WaitForSingleObject(g_race.searching, INFINITE);
    while (g_race.sweeping) {
        bool swapped = MoveFileA(g_race.folder.c_str(), g_race.away.c_str());
        if (swapped) {
            g_race.swaps += g_race.sweeping;
            makeDirectoryLink(g_race.folder, g_race.target);
        }
        SetEvent(g_race.tried);
        if (swapped)
            break;
    }
    return 0;
}

TEST_F(FolderSweep, FolderSweptCannotBeSwappedForALink)
{
    Inventory outside;
    for (int i = 0; i < 2000; ++i) {
        char name[16];
        sprintf(name, "%04d.sav", i);
        makePath(kFolder + "\\save\\" + name);
        if (i % 20 == 0) {
            makePath(kRoot + "\\target\\" + name);
            outside.insert(name);
        }
    }
    g_race = {kFolder + "\\save", kFolder + "\\away", kRoot + "\\target", CreateEventA(NULL, TRUE, FALSE, NULL),
              CreateEventA(NULL, TRUE, FALSE, NULL), 1, 0};
    findFirstFile = startRaceWithSearch;
    findNextFile = endRaceWithSearch;
    HANDLE racer = CreateThread(NULL, 0, swapFolderForLink, NULL, 0, NULL);
    sweepPattern(kFolder.c_str(), "save\\*.sav");
    g_race.sweeping = 0;
    SetEvent(g_race.searching);
    WaitForSingleObject(racer, INFINITE);
    for (HANDLE handle : {racer, g_race.searching, g_race.tried})
        CloseHandle(handle);
    findFirstFile = FindFirstFileA;
    findNextFile = FindNextFileA;
    EXPECT_EQ(g_race.swaps, 0);
    EXPECT_EQ(fileInventory(kRoot + "\\target"), outside);
}

TEST_F(FolderSweep, SearchReturnsFilesOnlyWithThePatternsFolder)
{
    makePath(kFolder + "\\sub\\a long file name.text");
    makePath(kFolder + "\\sub\\inner\\");
    std::string pattern = kFolder + "\\sub\\*";
    ASSERT_EQ(startFileSearch(pattern.c_str()), 0);
    const char* found = nextFoundFile();
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(std::string(found), kFolder + "\\sub\\a long file name.text");
    EXPECT_EQ(nextFoundFile(), nullptr);
    EXPECT_EQ(nextFoundFile(), nullptr) << "stays over";

    // A pattern naming a folder matches, yet yields no file.
    EXPECT_EQ(startFileSearch((kFolder + "\\sub").c_str()), 0);
    EXPECT_EQ(nextFoundFile(), nullptr);
    EXPECT_EQ(startFileSearch((kFolder + "\\none*").c_str()), 1);
    EXPECT_EQ(nextFoundFile(), nullptr);
}

}  // namespace
