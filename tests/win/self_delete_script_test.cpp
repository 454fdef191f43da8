// Writing and starting the self-deleting script, each half on its own: the
// full launch would set a script on this very test program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "uninstall/self_delete_script_win.h"
#include "win/engine_support.h"

namespace {

using namespace harness;

const char kScript[] = ":retry\r\ndel \"C:\\100%% & ソ\\uninst.exe\"\r\nrd \"C:\\100%% & ソ\"\r\n";

DWORD attributesOf(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
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
    writeFile(victim, "keep me");
    const struct {
        const char* occupant;
        bool (*plant)(const std::string& path, const std::string& victim);
    } cases[] = {
        {"nothing", [](const std::string&, const std::string&) { return true; }},
        {"a longer older script",
         [](const std::string& p, const std::string&) { return writeFile(p, std::string(5000, 'x')), true; }},
        {"a read-only file",
         [](const std::string& p, const std::string&) {
             return writeFile(p, "old"), SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_READONLY) != 0;
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
        EXPECT_EQ(readFile(script), kScript) << c.occupant;
        EXPECT_EQ(attributesOf(script) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY), 0u) << c.occupant;
        EXPECT_EQ(readFile(victim), "keep me") << c.occupant;
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
    writeFile(occupied + "\\keep.txt", "keep");
    EXPECT_EQ(writeSelfDeleteScript(occupied.c_str(), kScript), -1);
    EXPECT_EQ(readFile(occupied + "\\keep.txt"), "keep");
    removeTree(folder);
}

}  // namespace
