// The whole uninstall through to its very end: after the program has gone,
// the script it left behind deletes the program, its folder and itself.
#include <gtest/gtest.h>

#include "harness/driver.h"

#include <tlhelp32.h>
#include <winternl.h>

using namespace harness;

namespace {

const char kMainCaption[] = "ＴＡＶＥＬＯ アプリケーション アンインストール";
const DWORD kScriptTimeoutMs = 30000;

// The processes running exeName, children of parent only unless parent is
// 0: their ids.
std::vector<DWORD> processes(const char* exeName, DWORD parent = 0)
{
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if ((!parent || entry.th32ParentProcessID == parent) && _stricmp(entry.szExeFile, exeName) == 0)
            found.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

// The user's defaults for the command interpreter (AutoRun, delayed
// expansion) must not reach the script. Wine's cmd knows neither, so the
// command line is read back from the interpreter's process instead.
std::string commandLineOf(HANDLE process)
{
    typedef NTSTATUS(NTAPI * QueryFn)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = (QueryFn)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic = {};
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, NULL) != 0 ||
        !ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, NULL) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, NULL))
        return "";
    std::wstring wide(parameters.CommandLine.Length / sizeof(WCHAR), L'\0');
    if (!ReadProcessMemory(process, parameters.CommandLine.Buffer, &wide[0], parameters.CommandLine.Length, NULL))
        return "";
    char text[2048];
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), text, sizeof text, NULL, NULL);
    return std::string(text, n > 0 ? n : 0);
}

// Started with the process id in this variable, the test program only
// attaches to that process's console and ends: 0 when the console has no
// window, 1 when it has one, 2 when there is none (the process may still be
// setting it up: it waits a while). A probe of its own, as the test program
// gives up its console to attach, and with it its output.
const char kConsoleProbe[] = "E2E_CONSOLE_OF";
const bool kProbing = [] {
    char pid[16];
    if (GetEnvironmentVariableA(kConsoleProbe, pid, sizeof pid)) {
        FreeConsole();
        bool attached = waitFor([&] { return AttachConsole(strtoul(pid, NULL, 10)) != 0; }, 5000);
        ExitProcess(!attached ? 2 : GetConsoleWindow() != NULL);
    }
    return false;
}();

struct Scenario {
    const char* parent;      // under C:\e2e\sd
    const char* folder;      // under parent
    const char* installEnv;  // besides the title
    const char* temp;        // the temporary folder, under C:\e2e\sdtemp
    bool relative;           // the script named relative to it
    bool readOnlyProgram;
    bool userFile;    // a save file left in the folder
    bool parentGoes;  // INSTFOL names the folder above
    bool pif;         // a companion .pif from an earlier run
};

// The names hold what a batch line or cmd's command line could misread:
// '%' (%TEMP% is a real variable, and cmd expands it even between quotes),
// '&', '^', '!', brackets, blanks, and ソ and 表, whose second byte is '\'.
const Scenario kScenarios[] = {
    {"%TEMP% & ソ", "Title", "INSTFOL %TEMP%|&|ソ\r\n", "a b&c^d!e(f)ソ表", false, false, false, true, true},
    {"", "plain ソ", "INSTFOL Other\r\n", "%TEMP% 100%", true, false, false, false, false},
    {"", "read-only ソ", "", "t", false, true, false, false, true},
    {"", "saves & 100%", "INSTFOL sd\r\n", "t", false, false, true, false, false},
};

// After the program has gone, the script it left behind deletes the
// program, its folder and itself. It is started through the system's own
// cmd, in a console without a window. The test holds the program's file
// open meanwhile, so that the script waits in its loop.
TEST(SelfDelete, ScriptRemovesProgramAndFolderAfterExit)
{
    char system[MAX_PATH], systemImages[MAX_PATH], oldTemp[MAX_PATH], oldTmp[MAX_PATH], self[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    // A 32-bit program on 64-bit Windows names system32 and gets the 32-bit
    // interpreter from the WOW64 system folder.
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    if (!wow64 || !GetSystemWow64DirectoryA(systemImages, sizeof systemImages))
        strcpy(systemImages, system);
    const std::string prefix = std::string("cmd.exe /d /v:off /s /c \"\"") + system + "\\chcp.com\" 932 >nul & \"";
    GetEnvironmentVariableA("TEMP", oldTemp, sizeof oldTemp);
    GetEnvironmentVariableA("TMP", oldTmp, sizeof oldTmp);
    GetModuleFileNameA(NULL, self, sizeof self);
    for (const Scenario& s : kScenarios) {
        std::string root = freshFolder("sd");
        std::string temp = freshFolder(std::string("sdtemp\\") + s.temp);
        std::string parent = *s.parent ? freshFolder(std::string("sd\\") + s.parent) : root;
        std::string folder = parent + "\\" + s.folder;
        std::string script = temp + "\\TaveloSuicide.bat", pif = temp + "\\TaveloSuicide.pif";
        CreateDirectoryA(folder.c_str(), NULL);
        std::string exe = prepareInstallation(folder, std::string("TITLEBAR ＴＡＶＥＬＯ|アプリケーション\r\n") + s.installEnv);
        if (s.readOnlyProgram)
            SetFileAttributesA(exe.c_str(), FILE_ATTRIBUTE_READONLY);
        if (s.userFile)
            writeFile(folder + "\\save.dat", "mine");
        if (s.pif)
            writeFile(pif, "old companion");

        SetEnvironmentVariableA("TEMP", temp.c_str());
        SetEnvironmentVariableA("TMP", temp.c_str());
        Program program(exe);
        SetEnvironmentVariableA("TEMP", oldTemp);
        SetEnvironmentVariableA("TMP", oldTmp);
        ASSERT_TRUE(program.started()) << s.folder;
        HANDLE hold = CreateFileA(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        std::vector<std::string> expected = {"アンインストールを終了します"};
        if (s.userFile)
            expected.insert(expected.begin(), "フォルダ[" + folder + "]にはユーザファイルが残っています。");
        EXPECT_EQ(uninstallThroughWindow(program, kMainCaption, IDOK, false), expected) << s.folder;
        DWORD pid = 0;
        EXPECT_TRUE(waitFor([&] {
            std::vector<DWORD> children = processes("cmd.exe", program.pid());
            return (pid = children.empty() ? 0 : children[0]) != 0;
        })) << s.folder;
        EXPECT_EQ(program.waitExit(), 0u) << s.folder;

        HANDLE cmd = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        char image[MAX_PATH] = "";
        DWORD size = sizeof image;
        QueryFullProcessImageNameA(cmd, 0, image, &size);
        EXPECT_EQ(_stricmp(image, (std::string(systemImages) + "\\cmd.exe").c_str()), 0) << image;
        EXPECT_EQ(commandLineOf(cmd), prefix + (s.relative ? "." : temp) + "\\TaveloSuicide.bat\"\"") << s.temp;
        SetEnvironmentVariableA(kConsoleProbe, std::to_string(pid).c_str());
        Program probe(self);
        SetEnvironmentVariableA(kConsoleProbe, NULL);
        EXPECT_EQ(probe.waitExit(), 0u) << "a console without a window: " << s.folder;
        CloseHandle(cmd);
        CloseHandle(hold);

        // The script deletes itself last.
        EXPECT_TRUE(waitFor([&] { return !exists(exe) && !exists(script); }, kScriptTimeoutMs)) << s.folder;
        EXPECT_TRUE(waitFor([&] { return processes("cmd.exe").empty(); }, 5000)) << s.folder;
        EXPECT_FALSE(exists(pif)) << s.folder;
        EXPECT_EQ(exists(folder), s.userFile) << s.folder;
        if (s.userFile) {
            EXPECT_EQ(readFile(folder + "\\save.dat"), "mine");
        }
        EXPECT_EQ(exists(parent), !s.parentGoes) << s.folder;
        removeTree(root);
        removeTree(temp);
    }
}

}  // namespace
