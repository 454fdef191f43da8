// Writing and starting the self-deleting script, each half on its own: the
// full launch would set a script on this very test program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "uninstall/self_delete_script_win.h"

namespace {

const char kScript[] =
    ":retry\r\n"
    "del \"C:\\100%% & ソ\\uninst.exe\"\r\n"
    "if exist \"C:\\100%% & ソ\\uninst.exe\" goto retry\r\n"
    "rd \"C:\\100%% & ソ\"\r\n";

void removeTree(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name != "." && name != "..")
                    removeTree(path + "\\" + name);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryA(path.c_str());
    else
        DeleteFileA(path.c_str());
}

// A fresh folder under the temporary folder.
std::string freshFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + name;
    removeTree(folder);
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
}

std::string readBytes(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    char buffer[4096];
    DWORD n;
    while (ReadFile(file, buffer, sizeof buffer, &n, NULL) && n > 0)
        bytes.append(buffer, n);
    CloseHandle(file);
    return bytes;
}

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whatever an earlier run or someone else left at the name goes, and the
// script is a plain file with exactly the given bytes (CR LF kept).
TEST(SelfDeleteScriptWrite, ReplacesWhateverSitsAtTheName)
{
    std::string folder = freshFolder("sdwrite ソ");
    std::string script = folder + "\\TaveloSuicide.bat";
    const struct {
        const char* occupant;
        void (*plant)(const std::string& path);
    } cases[] = {
        {"nothing", [](const std::string&) {}},
        {"a longer older script",
         [](const std::string& p) { writeBytes(p, std::string(5000, 'x')); }},
        {"a read-only file",
         [](const std::string& p) {
             writeBytes(p, "old\r\n");
             SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_READONLY);
         }},
        {"an empty folder", [](const std::string& p) { CreateDirectoryA(p.c_str(), NULL); }},
    };
    for (const auto& c : cases) {
        c.plant(script);
        ASSERT_EQ(writeSelfDeleteScript(script.c_str(), kScript), 0) << c.occupant;
        EXPECT_EQ(readBytes(script), kScript) << c.occupant;
        EXPECT_EQ(GetFileAttributesA(script.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY), 0u)
            << c.occupant;
    }
    removeTree(folder);
}

// A link planted at the name goes as a link: what it leads to stays as it
// was. A file opened for writing through the name would overwrite it.
struct Victims {
    std::string folder, script, file, subfolder;
    Victims()
        : folder(freshFolder("sdlink")), script(folder + "\\TaveloSuicide.bat"), file(folder + "\\victim.txt"),
          subfolder(folder + "\\victim")
    {
        writeBytes(file, "keep me");
        CreateDirectoryA(subfolder.c_str(), NULL);
        writeBytes(subfolder + "\\inside.txt", "keep me too");
    }
    ~Victims() { removeTree(folder); }
    void expectUntouched()
    {
        EXPECT_EQ(readBytes(script), kScript);
        EXPECT_EQ(GetFileAttributesA(script.c_str()) & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY), 0u);
        EXPECT_EQ(readBytes(file), "keep me");
        EXPECT_EQ(readBytes(subfolder + "\\inside.txt"), "keep me too");
    }
};

TEST(SelfDeleteScriptWrite, RemovesPlantedHardLinkNotItsFile)
{
    Victims v;
    ASSERT_TRUE(CreateHardLinkA(v.script.c_str(), v.file.c_str(), NULL)) << GetLastError();
    ASSERT_EQ(writeSelfDeleteScript(v.script.c_str(), kScript), 0);
    v.expectUntouched();
}

TEST(SelfDeleteScriptWrite, RemovesPlantedSymbolicLinkNotItsTarget)
{
    Victims v;
    SetFileAttributesA(v.file.c_str(), FILE_ATTRIBUTE_READONLY);
    const struct {
        const char* target;
        DWORD flags;
    } links[] = {{v.file.c_str(), 0}, {v.subfolder.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY}};
    for (const auto& link : links) {
        // Wine 8 answers TRUE and makes nothing.
        CreateSymbolicLinkA(v.script.c_str(), link.target, link.flags);
        DWORD attributes = GetFileAttributesA(v.script.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            GTEST_SKIP() << "no symbolic links on this system";
        ASSERT_EQ(writeSelfDeleteScript(v.script.c_str(), kScript), 0) << link.target;
        v.expectUntouched();
        EXPECT_TRUE(GetFileAttributesA(v.file.c_str()) & FILE_ATTRIBUTE_READONLY);
        DeleteFileA(v.script.c_str());
    }
}

TEST(SelfDeleteScriptWrite, WritesNothingWhereItCannot)
{
    std::string folder = freshFolder("sdfail");
    // A temporary folder that is not there.
    std::string missing = folder + "\\gone\\TaveloSuicide.bat";
    EXPECT_EQ(writeSelfDeleteScript(missing.c_str(), kScript), -1);
    EXPECT_FALSE(exists(missing));
    // A folder with something in it cannot be moved out of the way.
    std::string occupied = folder + "\\TaveloSuicide.bat";
    CreateDirectoryA(occupied.c_str(), NULL);
    writeBytes(occupied + "\\keep.txt", "keep");
    EXPECT_EQ(writeSelfDeleteScript(occupied.c_str(), kScript), -1);
    EXPECT_EQ(readBytes(occupied + "\\keep.txt"), "keep");
    removeTree(folder);
}

// The script's path is passed in quotes: a program planted where the path
// is cut at its first blank must not be the one that starts.
TEST(SelfDeleteScriptStart, RunsTheScriptNotAProgramAtAShorterPrefix)
{
    std::string parent = freshFolder("sdstart");
    std::string folder = parent + "\\run me ソ";
    CreateDirectoryA(folder.c_str(), NULL);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    ASSERT_TRUE(CopyFileA((std::string(system) + "\\hostname.exe").c_str(), (parent + "\\run.exe").c_str(), FALSE));
    std::string script = folder + "\\TaveloSuicide.bat";
    std::string marker = folder + "\\ran.txt";
    ASSERT_EQ(writeSelfDeleteScript(script.c_str(), ("echo ran>\"" + marker + "\"\r\n").c_str()), 0);

    ASSERT_EQ(startSelfDeleteScript(script.c_str()), 0);
    DWORD start = GetTickCount();
    while (!exists(marker) && GetTickCount() - start < 15000)
        Sleep(50);
    EXPECT_TRUE(exists(marker));
    Sleep(200);  // let the script's cmd let go of the folder
    removeTree(parent);
}

}  // namespace
