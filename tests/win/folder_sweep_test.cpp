// Folder sweeps against real files: what a sweep deletes, what it must
// leave, and what becomes of a file another program keeps.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "uninstall/files_in_use_win.h"
#include "uninstall/folder_sweep_win.h"
#include "uninstall/nt_file_win.h"
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
        SweptFolder folder = held();
        sweepInstalledFiles(folder, kDeleteFiles);
        CloseHandle(folder.held);
        return fileInventory(kRoot);
    }
    static SweptFolder held() { return {kFolder.c_str(), holdFolder(kFolder.c_str())}; }
    static int inUse(char* text)
    {
        SweptFolder folder = held();
        MarkedFiles marked = {};
        int count = findFilesInUse(folder, false, text, IN_USE_TEXT_BYTES, &marked, nullptr);
        EXPECT_EQ(marked.count, 0) << "every mark taken back";
        CloseHandle(folder.held);
        return count;
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
        {"fixed names and *.gid; what the program starts from is left, whatever the patterns",
         {"inst\\install.arc", "inst\\install.env", "inst\\Insttscr.RCT", "inst\\a.gid", "inst\\B.GID",
          "inst\\dir.gid\\", "inst\\keep.txt", "inst\\sub\\c.gid", "inst\\sub\\install.env"},
         {"*.env", "insttscr.*", "sub\\*.env"},
         {"inst\\", "inst\\install.env", "inst\\Insttscr.RCT", "inst\\dir.gid\\", "inst\\keep.txt", "inst\\sub\\",
          "inst\\sub\\c.gid"}},
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

// The matcher again where the system's code page decides whether it folds
// the full-width letters.
TEST(LongNames, RulesUnderTheSystemsCodePage)
{
    for (const LongNameRule& c : kLongNameRules)
        EXPECT_EQ(matchesLongName(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

// In use is what a deletion would meet: a file held without delete sharing,
// or mapped into memory (its handle closed, as a game does with its
// archive); not one held with delete sharing, nor a read-only one.
TEST_F(FolderSweep, InUseIsWhatADeletionWouldMeet)
{
    for (const char* name : {"held.dat", "mapped.dat", "shared.dat", "ro.dat"})
        makePath(kFolder + "\\" + name);
    HANDLE held = CreateFileA((kFolder + "\\held.dat").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    HANDLE shared = CreateFileA((kFolder + "\\shared.dat").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING, 0, NULL);
    HANDLE file = CreateFileA((kFolder + "\\mapped.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0,
                              NULL);
    HANDLE mapping = CreateFileMappingA(file, NULL, PAGE_READONLY, 0, 0, NULL);
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping);
    CloseHandle(file);
    SetFileAttributesA((kFolder + "\\ro.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(view);
    char text[IN_USE_TEXT_BYTES];
    setRemovalList(&delfilesList, {"*.dat"});
    EXPECT_EQ(inUse(text), 2);
    std::string names = text;
    EXPECT_TRUE(names == "held.dat\nmapped.dat" || names == "mapped.dat\nheld.dat") << names;
    EXPECT_TRUE(exists(kFolder + "\\mapped.dat")) << "the check takes its mark back";
    UnmapViewOfFile(view);
    CloseHandle(held);
    CloseHandle(shared);
    SetFileAttributesA((kFolder + "\\ro.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// FAT and exFAT have no reparse tags, and refuse to be asked for one: a
// folder without a reparse point is entered all the same.
NtFileInformationCall g_query;
NTSTATUS NTAPI noTags(HANDLE file, PIO_STATUS_BLOCK io, PVOID data, ULONG size, FILE_INFORMATION_CLASS kind)
{
    if (kind == FileAttributeTagInformation)
        return NtInvalidParameter;
    return g_query(file, io, data, size, kind);
}

TEST_F(FolderSweep, FoldersOnAFileSystemWithoutTags)
{
    g_query = ntQueryInformationFile;
    ntQueryInformationFile = noTags;
    Inventory left = sweep({"inst\\data\\a.dat", "inst\\data\\sub\\b.dat"}, {"data\\sub\\*.dat", "data\\*.dat"});
    ntQueryInformationFile = g_query;
    EXPECT_EQ(left, Inventory{"inst\\"});
}

// Names are matched as the file system has them, converted exactly: a name
// the ANSI code page cannot spell is never taken for a look-alike, and the
// names around it still go.
TEST_F(FolderSweep, NamesThatDoNotConvertStay)
{
    for (const wchar_t* name : {L"\u00e9.dat", L"e.dat", L"a.dat", L"z.dat", L"\u00a5.dat", L"\u30bd.dat"}) {
        std::wstring path = L"C:\\sweep-test\\inst\\" + std::wstring(name);
        CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    }
    Inventory left = sweep({}, {"e.dat", "*.dat"});
    EXPECT_EQ(left.size(), 3u);
    EXPECT_TRUE(exists(kFolder + "\\a.dat") == false && exists(kFolder + "\\ソ.dat") == false);
    for (const wchar_t* name : {L"C:\\sweep-test\\inst\\\u00e9.dat", L"C:\\sweep-test\\inst\\\u00a5.dat"}) {
        EXPECT_NE(GetFileAttributesW(name), INVALID_FILE_ATTRIBUTES);
        DeleteFileW(name);
    }
}

// Another user renames the folder above the install folder away mid-sweep
// and puts a decoy tree with the same names in its place: deletions that
// went by path would now go into the decoy. (Wine allows the rename, which
// Windows refuses while a folder below is held; under Wine the deletion
// through a handle then deletes nothing of the moved tree either.)
const std::string kParent = kRoot + "\\parent";
const std::string kInstalled = kParent + "\\inst";
bool g_swapped;
NtQueryDirectoryFileCall g_list;

NTSTATUS NTAPI swapParentFirst(HANDLE folder, HANDLE event, PVOID apc, PVOID context, PIO_STATUS_BLOCK io, PVOID data,
                               ULONG size, FILE_INFORMATION_CLASS kind, BOOLEAN single, PUNICODE_STRING name,
                               BOOLEAN restart)
{
    if (!name && !g_swapped) {
        g_swapped = MoveFileA(kParent.c_str(), (kRoot + "\\away").c_str()) != FALSE;
        for (int i = 0; i < 20; ++i)
            makePath(kInstalled + "\\save\\" + std::to_string(i) + ".sav");
    }
    return g_list(folder, event, apc, context, io, data, size, kind, single, name, restart);
}

TEST_F(FolderSweep, NothingReachedByPathAfterTheWayIsHeld)
{
    for (int i = 0; i < 20; ++i)
        makePath(kInstalled + "\\save\\" + std::to_string(i) + ".sav");
    g_swapped = false;
    g_list = ntQueryDirectoryFile;
    ntQueryDirectoryFile = swapParentFirst;
    SweptFolder folder = {kInstalled.c_str(), holdFolder(kInstalled.c_str())};
    sweepPattern(folder, "save\\*.sav", kDeleteFiles);
    CloseHandle(folder.held);
    ntQueryDirectoryFile = g_list;
    ASSERT_TRUE(g_swapped);
    EXPECT_EQ(fileInventory(kInstalled + "\\save").size(), 20u);
}

// A file taken into use after the check so that it cannot be deleted, yet
// can be renamed (a mapped file), goes into a folder of the program's own
// at the volume's root, made for administrators and SYSTEM alone, and only
// that folder's paths are marked for the restart (the file first), its
// folder removed now. Wine keeps no DACL, so the security is read where
// the program hands it over.
std::string g_security;
BOOL WINAPI recordSecurity(LPCSTR path, LPSECURITY_ATTRIBUTES attributes)
{
    char* text = nullptr;
    if (attributes &&
        ConvertSecurityDescriptorToStringSecurityDescriptorA(attributes->lpSecurityDescriptor, SDDL_REVISION_1,
                                                             DACL_SECURITY_INFORMATION, &text, NULL)) {
        g_security = text;
        LocalFree(text);
    } else {
        g_security = "error " + std::to_string(GetLastError());
    }
    return CreateDirectoryA(path, attributes);
}

TEST_F(FolderSweep, FileKeptAfterTheCheckMovesToAFolderOnlyAdministratorsChange)
{
    makePath(kFolder + "\\late\\mapped.dat");
    HANDLE file = CreateFileA((kFolder + "\\late\\mapped.dat").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
    HANDLE mapping = CreateFileMappingA(file, NULL, PAGE_READONLY, 0, 0, NULL);
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    removalsAtRestart("", true);
    createDirectory = recordSecurity;
    EXPECT_EQ(sweep({}, {"late\\*.dat"}), Inventory{"inst\\"});
    EXPECT_TRUE(finishRestartDeletions());
    createDirectory = CreateDirectoryA;
    EXPECT_EQ(g_security, "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
    std::vector<std::string> marked = removalsAtRestart("", true);
    ASSERT_EQ(marked.size(), 2u);
    std::string staging = marked[1];
    EXPECT_EQ(staging.rfind("\\??\\C:\\uninst-", 0), 0u) << staging;
    EXPECT_EQ(marked[0], staging + "\\1") << "the file first, then its folder";
    UnmapViewOfFile(view);
    for (HANDLE handle : {file, mapping})
        CloseHandle(handle);
    EXPECT_TRUE(DeleteFileA((staging.substr(4) + "\\1").c_str()));
    EXPECT_TRUE(RemoveDirectoryA(staging.substr(4).c_str()));
}

// A name whose deletion is pending (another program still holds the
// deleted file with delete sharing, and Windows 7 and 8.1 keep its name
// until it lets go) is no file of the user's. Wine drops the name at once,
// so the open that tells is answered here.
NtOpenFileCall g_open;
NTSTATUS NTAPI pendingDeletion(PHANDLE file, ACCESS_MASK access, POBJECT_ATTRIBUTES object, PIO_STATUS_BLOCK io,
                               ULONG share, ULONG options)
{
    std::wstring name(object->ObjectName->Buffer, object->ObjectName->Length / 2);
    if (name == L"pending.dat")
        return NtDeletePending;
    return g_open(file, access, object, io, share, options);
}

TEST_F(FolderSweep, PendingDeletionIsNoUserFile)
{
    makePath(kFolder + "\\uninst.exe");
    makePath(kFolder + "\\pending.dat");
    g_open = ntOpenFile;
    for (bool pending : {true, false}) {
        ntOpenFile = pending ? pendingDeletion : g_open;
        SweptFolder folder = held();
        EXPECT_EQ(userFilesRemain(folder.held), pending ? 0 : 1);
        CloseHandle(folder.held);
    }
    ntOpenFile = g_open;
}

}  // namespace
