// Writing and starting the self-deleting script, each half on its own: the
// full launch would set a script on this very test program.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <string>

#include "uninstall/self_delete_script_win.h"
#include "win/engine_support.h"

namespace {

using harness::removeTree;

const char kScript[] = ":retry\r\ndel \"C:\\100%% & ソ\\uninst.exe\"\r\nrd \"C:\\100%% & ソ\"\r\n";

void put(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::string get(const std::string& path)
{
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    for (int c; f && (c = fgetc(f)) != EOF;)
        bytes += (char)c;
    if (f)
        fclose(f);
    return bytes;
}

DWORD attributesOf(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
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

// Whatever was at the name goes, and the script is a plain file with
// exactly the given bytes (CR LF kept). A file written through a link at the
// name would overwrite what the link leads to, so what a link leads to must
// be left as it was.
TEST(SelfDeleteScriptWrite, ReplacesWhateverSitsAtTheName)
{
    std::string folder = freshFolder("sdwrite ソ");
    std::string script = folder + "\\TaveloSuicide.bat";
    std::string victim = folder + "\\victim.txt";
    put(victim, "keep me");
    const struct {
        const char* occupant;
        bool (*plant)(const std::string& path, const std::string& victim);
    } cases[] = {
        {"nothing", [](const std::string&, const std::string&) { return true; }},
        {"a longer older script",
         [](const std::string& p, const std::string&) { return put(p, std::string(5000, 'x')), true; }},
        {"a read-only file",
         [](const std::string& p, const std::string&) {
             return put(p, "old"), SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_READONLY) != 0;
         }},
        {"an empty folder",
         [](const std::string& p, const std::string&) { return CreateDirectoryA(p.c_str(), NULL) != 0; }},
        {"a hard link",
         [](const std::string& p, const std::string& v) { return CreateHardLinkA(p.c_str(), v.c_str(), NULL) != 0; }},
    };
    for (const auto& c : cases) {
        DeleteFileA(script.c_str());
        ASSERT_TRUE(c.plant(script, victim)) << c.occupant;
        ASSERT_EQ(writeSelfDeleteScript(script.c_str(), kScript), 0) << c.occupant;
        EXPECT_EQ(get(script), kScript) << c.occupant;
        EXPECT_EQ(attributesOf(script) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY), 0u) << c.occupant;
        EXPECT_EQ(get(victim), "keep me") << c.occupant;
    }
    removeTree(folder);
}

TEST(SelfDeleteScriptWrite, RemovesPlantedSymbolicLinkNotItsTarget)
{
    std::string folder = freshFolder("sdlink");
    std::string script = folder + "\\TaveloSuicide.bat";
    std::string file = folder + "\\victim.txt", subfolder = folder + "\\victim";
    put(file, "keep me");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA(subfolder.c_str(), NULL);
    put(subfolder + "\\inside.txt", "keep me too");
    const struct {
        const std::string& target;
        DWORD flags;
    } links[] = {{file, 0}, {subfolder, SYMBOLIC_LINK_FLAG_DIRECTORY}};
    for (const auto& link : links) {
        // Wine 8 answers TRUE and makes nothing.
        CreateSymbolicLinkA(script.c_str(), link.target.c_str(), link.flags);
        if (attributesOf(script) == INVALID_FILE_ATTRIBUTES || !(attributesOf(script) & FILE_ATTRIBUTE_REPARSE_POINT))
            GTEST_SKIP() << "no symbolic links on this system";
        ASSERT_EQ(writeSelfDeleteScript(script.c_str(), kScript), 0) << link.target;
        EXPECT_EQ(get(script), kScript);
        EXPECT_EQ(attributesOf(script) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
        EXPECT_EQ(get(file), "keep me");
        EXPECT_TRUE(attributesOf(file) & FILE_ATTRIBUTE_READONLY);
        EXPECT_EQ(get(subfolder + "\\inside.txt"), "keep me too");
        DeleteFileA(script.c_str());
    }
    removeTree(folder);
}

TEST(SelfDeleteScriptWrite, WritesNothingWhereItCannot)
{
    std::string folder = freshFolder("sdfail");
    std::string missing = folder + "\\gone\\TaveloSuicide.bat";
    EXPECT_EQ(writeSelfDeleteScript(missing.c_str(), kScript), -1);
    EXPECT_EQ(attributesOf(missing), INVALID_FILE_ATTRIBUTES);
    // A folder with something in it cannot be moved out of the way.
    std::string occupied = folder + "\\TaveloSuicide.bat";
    CreateDirectoryA(occupied.c_str(), NULL);
    put(occupied + "\\keep.txt", "keep");
    EXPECT_EQ(writeSelfDeleteScript(occupied.c_str(), kScript), -1);
    EXPECT_EQ(get(occupied + "\\keep.txt"), "keep");
    removeTree(folder);
}

// The script's path goes to the system in quotes: a program planted where
// the path would be cut at its first blank must not be the one that starts.
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
    while (attributesOf(marker) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 15000)
        Sleep(50);
    EXPECT_NE(attributesOf(marker), INVALID_FILE_ATTRIBUTES);
    Sleep(200);  // let the script's cmd let go of the folder
    removeTree(parent);
}

}  // namespace
