// The whole uninstall through to its very end: after the program has gone,
// the script it left behind deletes the program, its folder and itself.
#include <gtest/gtest.h>

#include "e2e/driver.h"

#include <tlhelp32.h>

using namespace e2e;

namespace {

const char kMainCaption[] = "ＴＡＶＥＬＯ アプリケーション アンインストール";
const int kUninstallButton = 1001;  // the middle slot when there is no readme
const DWORD kScriptTimeoutMs = 30000;

std::string tempPath(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + name;
}

int countProcesses(const char* exeName)
{
    int count = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        count += _stricmp(entry.szExeFile, exeName) == 0;
    CloseHandle(snapshot);
    return count;
}

// Presses "アンインストール", confirms, and answers the boxes that follow with
// OK; returns their texts.
std::vector<std::string> uninstall(Program& program, size_t boxes)
{
    std::vector<std::string> texts;
    HWND main = waitForDialog(program.pid(), kMainCaption);
    pressButton(main, kUninstallButton);
    for (size_t i = 0; i <= boxes; ++i) {  // the confirmation first
        HWND box = waitForDialog(program.pid(), nullptr, 10000, {main});
        if (!box)
            break;
        if (i > 0)
            texts.push_back(messageBoxText(box));
        pressButton(box, IDOK);
        waitGone(box);
    }
    return texts;
}

struct Scenario {
    const char* parent;      // under C:\e2e\sd
    const char* folder;      // under parent
    const char* installEnv;  // besides the title
    bool readOnlyProgram;
    bool userFile;           // a save file left in the folder
    bool parentGoes;         // INSTFOL names the folder above
    bool pif;                // a companion .pif from an earlier run
};

// The names hold what a batch line could misread: '%' (%TEMP% is a real
// variable), '&', blanks, and ソ, whose second byte is '\'.
const Scenario kScenarios[] = {
    {"%TEMP% & ソ", "Title", "INSTFOL %TEMP%|&|ソ\r\n", false, false, true, true},
    {"", "plain ソ", "INSTFOL Other\r\n", false, false, false, false},
    {"", "read-only ソ", "", true, false, false, true},
    {"", "saves & 100%", "INSTFOL sd\r\n", false, true, false, false},
};

TEST(SelfDelete, ScriptRemovesProgramAndFolderAfterExit)
{
    const std::string script = tempPath("TaveloSuicide.bat");
    const std::string pif = tempPath("TaveloSuicide.pif");
    for (const Scenario& s : kScenarios) {
        std::string root = freshFolder("sd");
        std::string parent = *s.parent ? freshFolder(std::string("sd\\") + s.parent) : root;
        std::string folder = parent + "\\" + s.folder;
        CreateDirectoryA(folder.c_str(), NULL);
        std::string exe = prepareInstallation(folder, std::string("TITLEBAR ＴＡＶＥＬＯ|アプリケーション\r\n") + s.installEnv);
        if (s.readOnlyProgram)
            SetFileAttributesA(exe.c_str(), FILE_ATTRIBUTE_READONLY);
        if (s.userFile)
            writeFile(folder + "\\save.dat", "mine");
        DeleteFileA(pif.c_str());
        if (s.pif)
            writeFile(pif, "old companion");
        DeleteFileA(script.c_str());

        Program program(exe);
        ASSERT_TRUE(program.started()) << s.folder;
        std::vector<std::string> expected = {"アンインストールを終了します"};
        if (s.userFile)
            expected.insert(expected.begin(), "フォルダ[" + folder + "]にはユーザファイルが残っています。");
        EXPECT_EQ(uninstall(program, expected.size()), expected) << s.folder;
        EXPECT_EQ(program.waitExit(), 0u) << s.folder;

        // The script deletes itself last.
        EXPECT_TRUE(waitFor([&] { return !exists(exe) && !exists(script); }, kScriptTimeoutMs)) << s.folder;
        EXPECT_TRUE(waitFor([&] { return countProcesses("cmd.exe") == 0; }, 5000)) << s.folder;
        EXPECT_FALSE(exists(exe)) << s.folder;
        EXPECT_FALSE(exists(pif)) << s.folder;
        EXPECT_EQ(exists(folder), s.userFile) << s.folder;
        if (s.userFile) {
            EXPECT_EQ(readFile(folder + "\\save.dat"), "mine");
        }
        EXPECT_EQ(exists(parent), !s.parentGoes) << s.folder;
        removeTree(root);
    }
}

}  // namespace
