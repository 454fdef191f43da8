#include <gtest/gtest.h>

#include <string>

#include "uninstall/path.h"
#include "uninstall/self_delete_script.h"

namespace {

struct ScriptCase {
    const char* exe;
    const char* temp;
    int removeParentFolder;
    const char* scriptPath;
    const char* script;  // the pif path is the script path ending in .pif
};

const ScriptCase kCases[] = {
    {"C:\\Games\\Title\\uninst.exe", "C:\\Temp\\", 0, "C:\\Temp\\TaveloSuicide.bat",
     ":retry\r\n"
     "del \"C:\\Games\\Title\\uninst.exe\"\r\n"
     "if exist \"C:\\Games\\Title\\uninst.exe\" goto retry\r\n"
     "rd \"C:\\Games\\Title\"\r\n"
     "del \"C:\\Temp\\TaveloSuicide.pif\"\r\n"
     "del \"C:\\Temp\\TaveloSuicide.bat\"\r\n"},
    // A temporary folder without its trailing separator gets one.
    {"C:\\Games\\Title\\uninst.exe", "C:\\Temp", 1, "C:\\Temp\\TaveloSuicide.bat",
     ":retry\r\n"
     "del \"C:\\Games\\Title\\uninst.exe\"\r\n"
     "if exist \"C:\\Games\\Title\\uninst.exe\" goto retry\r\n"
     "rd \"C:\\Games\\Title\"\r\n"
     "rd \"C:\\Games\"\r\n"
     "del \"C:\\Temp\\TaveloSuicide.pif\"\r\n"
     "del \"C:\\Temp\\TaveloSuicide.bat\"\r\n"},
    // Only '%' means anything to cmd between quotes; ソ and 表 end in 0x5C,
    // and the temporary folder's ソ gets a real separator behind it.
    {"C:\\100% & ^!\\ソ表 %x%\\uninst.exe", "C:\\a%b\\ソ", 1, "C:\\a%b\\ソ\\TaveloSuicide.bat",
     ":retry\r\n"
     "del \"C:\\100%% & ^!\\ソ表 %%x%%\\uninst.exe\"\r\n"
     "if exist \"C:\\100%% & ^!\\ソ表 %%x%%\\uninst.exe\" goto retry\r\n"
     "rd \"C:\\100%% & ^!\\ソ表 %%x%%\"\r\n"
     "rd \"C:\\100%% & ^!\"\r\n"
     "del \"C:\\a%%b\\ソ\\TaveloSuicide.pif\"\r\n"
     "del \"C:\\a%%b\\ソ\\TaveloSuicide.bat\"\r\n"},
    // A folder with no separator left has no parent to remove.
    {"a\\u.exe", "T:\\", 1, "T:\\TaveloSuicide.bat",
     ":retry\r\ndel \"a\\u.exe\"\r\nif exist \"a\\u.exe\" goto retry\r\nrd \"a\"\r\n"
     "del \"T:\\TaveloSuicide.pif\"\r\ndel \"T:\\TaveloSuicide.bat\"\r\n"},
    // A drive root keeps its separator.
    {"C:\\uninst.exe", "C:\\Temp\\", 0, "C:\\Temp\\TaveloSuicide.bat",
     ":retry\r\n"
     "del \"C:\\uninst.exe\"\r\n"
     "if exist \"C:\\uninst.exe\" goto retry\r\n"
     "rd \"C:\\\"\r\n"
     "del \"C:\\Temp\\TaveloSuicide.pif\"\r\n"
     "del \"C:\\Temp\\TaveloSuicide.bat\"\r\n"},
};

TEST(SelfDeleteScript, ExactBytes)
{
    for (const ScriptCase& c : kCases) {
        char scriptPath[MAX_PATH_BYTES], pifPath[MAX_PATH_BYTES], script[SCRIPT_BYTES];
        ASSERT_EQ(buildSelfDeleteScript(c.exe, c.temp, c.removeParentFolder, scriptPath, pifPath, script,
                                        sizeof script),
                  0)
            << c.exe;
        EXPECT_STREQ(scriptPath, c.scriptPath);
        std::string pif = c.scriptPath;
        pif.replace(pif.size() - 3, 3, "pif");
        EXPECT_EQ(pifPath, pif);
        EXPECT_STREQ(script, c.script);
    }
    // Every '%' doubled, however many the path holds.
    char scriptPath[MAX_PATH_BYTES], pifPath[MAX_PATH_BYTES], script[SCRIPT_BYTES];
    const std::string exe = "C:\\" + std::string(200, '%') + "\\u.exe";
    ASSERT_EQ(buildSelfDeleteScript(exe.c_str(), "T:\\", 0, scriptPath, pifPath, script, sizeof script), 0);
    EXPECT_NE(std::string(script).find("del \"C:\\" + std::string(400, '%') + "\\u.exe\"\r\n"), std::string::npos);
}

TEST(SelfDeleteScript, NoScriptWhenNothingFits)
{
    char scriptPath[MAX_PATH_BYTES], pifPath[MAX_PATH_BYTES], script[SCRIPT_BYTES];
    const std::string longTemp(260 - 18, 't');  // no room left for "\TaveloSuicide.bat"
    const std::string longExe = "C:\\" + std::string(257, 'x');
    // Lines that do not fit, with shorter ones after them that would.
    const std::string deepExe = "C:\\" + std::string(200, 'a') + "\\u.exe";
    const struct {
        const char *exe, *temp;
        int removeParentFolder;
        size_t size;
    } cases[] = {
        {"uninst.exe", "C:\\Temp\\", 1, sizeof script},
        {"C:\\Title\\uninst.exe", longTemp.c_str(), 1, sizeof script},
        {"C:\\Title\\uninst.exe", "", 1, sizeof script},
        {longExe.c_str(), "C:\\Temp\\", 1, sizeof script},
        {"C:\\Title\\uninst.exe", "C:\\Temp\\", 1, 100},
        {deepExe.c_str(), "T:\\", 1, 80},
        {deepExe.c_str(), "T:\\", 0, 80},
    };
    for (const auto& c : cases) {
        strcpy(scriptPath, "junk");
        strcpy(pifPath, "junk");
        strcpy(script, "junk");
        EXPECT_EQ(buildSelfDeleteScript(c.exe, c.temp, c.removeParentFolder, scriptPath, pifPath, script, c.size),
                  -1)
            << c.exe << " " << c.size;
        EXPECT_STREQ(script, "");
        if (c.size > 100) {  // refused before the paths are made
            EXPECT_STREQ(scriptPath, "");
            EXPECT_STREQ(pifPath, "");
        }
    }
    // A buffer of no bytes is never written.
    char untouched = 'z';
    EXPECT_EQ(buildSelfDeleteScript("C:\\Title\\uninst.exe", "C:\\Temp\\", 0, scriptPath, pifPath, &untouched, 0),
              -1);
    EXPECT_EQ(buildScriptCommand("C:\\WINDOWS", "C:\\Temp\\TaveloSuicide.bat", scriptPath, &untouched, 0), -1);
    EXPECT_EQ(untouched, 'z');
    // The longest temporary folder that leaves room for the name.
    EXPECT_EQ(buildSelfDeleteScript("C:\\Title\\uninst.exe", longTemp.c_str() + 1, 0, scriptPath, pifPath,
                                    script, sizeof script),
              0);
}

// Inside the quotes cmd takes every byte as it is, '%' alone excepted. The
// end-to-end tier reads back the line the interpreter really got; here what
// it cannot reach: a system folder at a drive root, the longest paths.
TEST(SelfDeleteScript, CommandLine)
{
    const struct {
        const char *systemFolder, *script, *application, *commandLine;
    } cases[] = {
        {"D:\\", "C:\\a b&c^d!e(f)ソ表\\TaveloSuicide.bat", "D:\\cmd.exe",
         "cmd.exe /d /v:off /s /c \"\"D:\\chcp.com\" 932 >nul & \"C:\\a b&c^d!e(f)ソ表\\TaveloSuicide.bat\"\""},
        {"C:\\WINDOWS\\system32", "C:\\100%\\%TEMP%\\TaveloSuicide.bat", "C:\\WINDOWS\\system32\\cmd.exe",
         "cmd.exe /d /v:off /s /c \"\"C:\\WINDOWS\\system32\\chcp.com\" 932 >nul & \".\\TaveloSuicide.bat\"\""},
    };
    char application[MAX_PATH_BYTES], commandLine[SCRIPT_COMMAND_BYTES];
    for (const auto& c : cases) {
        ASSERT_EQ(buildScriptCommand(c.systemFolder, c.script, application, commandLine, sizeof commandLine), 0);
        EXPECT_STREQ(application, c.application);
        EXPECT_STREQ(commandLine, c.commandLine);
    }
    // The longest paths fit the buffer; a system folder without room for
    // chcp.com does not.
    const std::string longest = "C:\\" + std::string(256 - 18, 't') + "\\TaveloSuicide.bat";
    const std::string longFolder(260 - 9, 's');
    EXPECT_EQ(buildScriptCommand(longFolder.substr(1).c_str(), longest.c_str(), application, commandLine,
                                 sizeof commandLine),
              0);
    const struct {
        const char *systemFolder, *script;
        size_t size;
    } refused[] = {
        {longFolder.c_str(), longest.c_str(), sizeof commandLine},
        {"C:\\WINDOWS\\system32", "TaveloSuicide.bat", sizeof commandLine},  // no folder to run it in
        {"C:\\WINDOWS\\system32", longest.c_str(), 100},
    };
    for (const auto& c : refused) {
        strcpy(application, "junk");
        strcpy(commandLine, "junk");
        EXPECT_EQ(buildScriptCommand(c.systemFolder, c.script, application, commandLine, c.size), -1) << c.script;
        EXPECT_STREQ(application, "");
        EXPECT_STREQ(commandLine, "");
    }
}

}  // namespace
