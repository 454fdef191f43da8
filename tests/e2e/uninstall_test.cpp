// The uninstall as the user runs it: what it removes from a realistic
// installation (files, save files, registry, shortcuts, INI section,
// uninstall entry), and everything it must leave alone.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "harness/driver.h"
#include "harness/inventory.h"

using namespace harness;

namespace {

const char kTitle[] = "E2E ソフト テスト";
const std::string kCaption = std::string(kTitle) + " アンインストール";
const int kUninstallButton = 1001;  // the middle slot without a readme button
const char kFinal[] = "アンインストールを終了します";
const char kCancelled[] = "アンインストールを中止しました";
const char kEntries[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kRegistry[] = "Software\\uninst-e2e";
const std::string kRoot = "C:\\e2e\\uninstall";
const std::string kFolder = kRoot + "\\Soft\\Title ソ";
const std::string kIni = kRoot + "\\game.ini";

const char kInstallEnv[] =
    "TITLEBAR\tE2E|ソフト|テスト\r\n"
    "INST_GROUP\tE2Eグループ\r\n"
    "INSTFOL\tSoft\r\n"
    "INSTREADMEFL\treadme.txt\r\n"
    "REG_GLOBAL\tuninst-e2e\r\n"
    "REG_LOCAL\tTitle\r\n"
    "INI_FILE\tC:\\e2e\\uninstall\\game.ini\r\n"
    "INI_SECTION\tTitle\r\n"
    "[EOF]\r\n"
    "[delfiles]\r\n*.exe\r\ngame.exe\r\nreadme.txt\r\ndata\\sub\\*.dat\r\ndata\\*.dat\r\nmovie\\*.*\r\n-\r\n"
    "[delfiles_user]\r\nsave\\*.sav\r\nsave.ini\r\n-\r\n";

std::string programs()
{
    return shellFolderPath(CSIDL_COMMON_PROGRAMS) + "\\E2Eグループ";
}

std::string desktop()
{
    return shellFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY);
}

const std::string kEntry = std::string(kEntries) + "\\ZiVizE2E ソフト テスト";
const std::string kOtherEntry = std::string(kEntries) + "\\ZiVizE2E ソフト";

std::string movie(int i)
{
    return kFolder + "\\movie\\" + std::to_string(i);
}

// Everything the uninstall may touch, and the neighbours it must not: among
// them the same machine keys in the other registry view, where an
// installer for the other processor would have put them.
Inventory inventory()
{
    Inventory all = fileInventory(kRoot, "file:");
    for (const Inventory& part :
         {registryInventory(HKEY_CURRENT_USER, kRegistry, "hkcu:"),
          registryInventory(HKEY_LOCAL_MACHINE, kRegistry, "hklm:"),
          registryInventory(HKEY_LOCAL_MACHINE, kEntry, "entry:"),
          registryInventory(HKEY_LOCAL_MACHINE, kOtherEntry, "other entry:"),
          registryInventory(HKEY_LOCAL_MACHINE, kRegistry, "other view hklm:", kOtherView),
          registryInventory(HKEY_LOCAL_MACHINE, kEntry, "other view entry:", kOtherView),
          fileInventory(programs(), "programs:"), iniInventory(kIni, "ini:")})
        all.insert(part.begin(), part.end());
    for (const char* name : {"E2E ソフト テスト.LNK", "E2E ソフト.LNK"}) {
        if (exists(desktop() + "\\" + name))
            all.insert(std::string("desktop:") + name);
    }
    return all;
}

void cleanUp()
{
    removeTree(kRoot);
    removeTree(programs());
    DeleteFileA((desktop() + "\\E2E ソフト テスト.LNK").c_str());
    DeleteFileA((desktop() + "\\E2E ソフト.LNK").c_str());
    deleteRegistryTree(HKEY_CURRENT_USER, kRegistry);
    for (REGSAM view : {kProgramView, kOtherView}) {
        for (const std::string& key : {std::string(kRegistry), kEntry, kOtherEntry})
            deleteRegistryTree(HKEY_LOCAL_MACHINE, key, view);
    }
}

// A realistic installation, with a user's shortcut in the title folder
// and another application's registry key when asked, and movies more
// files in movie\.
std::string install(bool usersNeighbours, int movies = 0)
{
    cleanUp();
    freshFolder("uninstall\\Soft\\Title ソ");
    std::string exe = prepareInstallation(kFolder, kInstallEnv);
    for (const char* name : {"install.arc", "help.gid", "game.exe", "readme.txt", "data\\a.dat", "data\\b.dat",
                             "data\\sub\\c.dat", "movie\\op.mpg", "movie\\ed", "save\\1.sav", "save\\2.sav",
                             "save.ini", "mine\\notes.txt"}) {
        std::string path = kFolder + "\\" + name;
        CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), NULL);
        CreateDirectoryA((kFolder + "\\data\\sub").c_str(), NULL);
        writeFile(path, name);
    }
    for (int i = 0; i < movies; ++i)
        CloseHandle(CreateFileA(movie(i).c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    writeFile(kIni, "[Other]\r\na=1\r\n[Title]\r\nx=y\r\nz=w\r\n[Last]\r\nq=r\r\n");
    setRegistryValue(HKEY_CURRENT_USER, std::string(kRegistry) + "\\Title", "Path", "C:\\e2e");
    setRegistryValue(HKEY_CURRENT_USER, std::string(kRegistry) + "\\Title\\Config\\Sound", "Volume", "7");
    setRegistryValue(HKEY_CURRENT_USER, std::string(kRegistry) + "\\Title\\Config\\Keys\\ソ", "表", "1");
    for (REGSAM view : {kProgramView, kOtherView}) {
        setRegistryValue(HKEY_LOCAL_MACHINE, std::string(kRegistry) + "\\Title", nullptr, "", view);  // the installer's
        setRegistryValue(HKEY_LOCAL_MACHINE, kEntry, "DisplayName", kTitle, view);
    }
    setRegistryValue(HKEY_LOCAL_MACHINE, kOtherEntry, "DisplayName", "other");
    std::string titleFolder = programs() + "\\E2E ソフト テスト\\";
    CreateDirectoryA(programs().c_str(), NULL);
    CreateDirectoryA(titleFolder.c_str(), NULL);
    for (const char* name : {"E2E ソフト テスト.LNK", "E2E ソフト テスト お読みください.LNK",
                             "E2E ソフト テスト アンインストール.LNK"})
        writeFile(titleFolder + name, "shortcut");
    writeFile(desktop() + "\\E2E ソフト テスト.LNK", "shortcut");
    if (usersNeighbours) {
        setRegistryValue(HKEY_CURRENT_USER, std::string(kRegistry) + "\\Other", "Keep", "1");
        writeFile(titleFolder + "mine.lnk", "user's");
    }
    writeFile(desktop() + "\\E2E ソフト.LNK", "another title's");
    return exe;
}

// Takes the inventory while the final box is still open.
std::function<int(const std::string&)> inventoryAtFinal(Inventory& after)
{
    return [&after](const std::string& text) {
        if (text.compare(0, strlen(kFinal), kFinal) == 0)
            after = inventory();
        return IDOK;
    };
}

// After the program has gone, its script deletes it (and, with nothing of
// the user's left, its folder): let it finish before the next run.
void waitForScript(const std::string& exe)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string script = std::string(temp) + "TaveloSuicide.bat";
    EXPECT_TRUE(waitFor([&] { return !exists(exe) && !exists(script); }, 30000));
}

// Runs the uninstall and ends the program as soon as endWhen holds, as the
// task manager or a power cut would: the installation must still be one
// the program starts from and finishes.
void endPartWay(const std::string& exe, bool tick, const std::function<bool()>& endWhen)
{
    Program program(exe);
    ASSERT_TRUE(program.started());
    std::thread user([&] {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        HWND main = waitForDialog(program.pid(), kCaption.c_str());
        for (DWORD start = GetTickCount(); !endWhen() && GetTickCount() - start < 30000;)
            Sleep(1);
        endProcessOf(main);
    });
    uninstallThroughWindow(program, kCaption, IDOK, tick);
    user.join();
    EXPECT_TRUE(endWhen() && exists(kFolder + "\\install.env") && registryKeyExists(HKEY_LOCAL_MACHINE, kEntry))
        << "ended too early or too late";
}

const char kInUse[] = "次のファイルは使用中のため削除できません。\nアプリケーションを終了してから[再試行]を押してください。\n\n"
                      "game.exe\ndata\\a.dat";

// The application still running from the folder (a copy of a program that
// waits, as game.exe), and one of its data files held by another program
// without delete sharing.
struct FilesInUse {
    std::unique_ptr<Program> game;
    HANDLE held = INVALID_HANDLE_VALUE;

    void start()
    {
        copyBuiltProgram("waiter.exe", kFolder + "\\game.exe");
        game.reset(new Program(kFolder + "\\game.exe"));
        held = CreateFileA((kFolder + "\\data\\a.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0,
                           NULL);
    }
    void end()
    {
        game.reset();
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
    }
    ~FilesInUse() { end(); }
};

TEST(Uninstall, RemovesExactlyWhatTheInstallationLeft)
{
    const Inventory removedAlways = {
        "file:Soft\\Title ソ\\install.arc", "file:Soft\\Title ソ\\install.env", "file:Soft\\Title ソ\\insttscr.rct",
        "file:Soft\\Title ソ\\help.gid", "file:Soft\\Title ソ\\game.exe", "file:Soft\\Title ソ\\readme.txt",
        "file:Soft\\Title ソ\\data\\", "file:Soft\\Title ソ\\data\\a.dat", "file:Soft\\Title ソ\\data\\b.dat",
        "file:Soft\\Title ソ\\data\\sub\\", "file:Soft\\Title ソ\\data\\sub\\c.dat",
        "file:Soft\\Title ソ\\movie\\", "file:Soft\\Title ソ\\movie\\op.mpg", "file:Soft\\Title ソ\\movie\\ed",
        "hkcu:Title\\", "hkcu:Title\\=Path", "hkcu:Title\\Config\\", "hkcu:Title\\Config\\Sound\\",
        "hkcu:Title\\Config\\Sound\\=Volume", "hkcu:Title\\Config\\Keys\\", "hkcu:Title\\Config\\Keys\\ソ\\",
        "hkcu:Title\\Config\\Keys\\ソ\\=表", "entry:=DisplayName", "desktop:E2E ソフト テスト.LNK",
        "programs:E2E ソフト テスト\\E2E ソフト テスト.LNK",
        "programs:E2E ソフト テスト\\E2E ソフト テスト お読みください.LNK",
        "programs:E2E ソフト テスト\\E2E ソフト テスト アンインストール.LNK", "ini:[Title]", "ini:[Title]x=y",
        "ini:[Title]z=w"};
    const Inventory saves = {"file:Soft\\Title ソ\\save\\", "file:Soft\\Title ソ\\save\\1.sav",
                             "file:Soft\\Title ソ\\save\\2.sav", "file:Soft\\Title ソ\\save.ini",
                             "programs:E2E ソフト テスト\\"};
    const std::string leftover = "フォルダ[" + kFolder + "]にはユーザファイルが残っています。";
    struct Case {
        bool tick;
        bool inUse;
        Inventory alsoRemoved;
        std::vector<std::string> boxes;
        // When set, a first run is ended once it holds.
        std::function<bool()> endWhen;
    };
    const Case cases[] = {
        // Save files go; the folders that held the title's shortcuts too.
        {true, false, saves, {kFinal}, nullptr},
        // Save files stay, and save.ini is a loose file of the user's; a
        // user's shortcut keeps the folders, another key the first level.
        {false, false, {}, {leftover, kFinal}, nullptr},
        // The application runs and a data file is held: named first, then
        // closed, and Retry goes on as if they never were.
        {true, true, saves, {kInUse, kFinal}, nullptr},
        // Ended while files go, and again between the per-user tree and the
        // uninstall entry: a second start finishes as one run would have.
        {true, false, saves, {kFinal}, [] { return !exists(kFolder + "\\install.arc"); }},
        {false, false, {}, {leftover, kFinal},
         [] { return !registryKeyExists(HKEY_CURRENT_USER, std::string(kRegistry) + "\\Title"); }},
    };
    const int kMovies = 500;
    for (const Case& c : cases) {
        std::string exe = install(!c.tick, c.endWhen ? kMovies : 0);
        FilesInUse use;
        if (c.inUse)
            use.start();
        Inventory before = inventory(), after;
        if (c.endWhen)
            endPartWay(exe, c.tick, c.endWhen);
        setClipboardText("sentinel");
        Program program(exe);
        ASSERT_TRUE(program.started());
        auto reply = [&](const std::string& text) {
            if (text != kInUse)
                return inventoryAtFinal(after)(text);
            use.end();
            return IDRETRY;
        };
        EXPECT_EQ(uninstallThroughWindow(program, kCaption, IDOK, c.tick, reply), c.boxes) << c.tick;
        Inventory removed = removedAlways;
        removed.insert(c.alsoRemoved.begin(), c.alsoRemoved.end());
        for (int i = 0; c.endWhen && i < kMovies; ++i)
            removed.insert("file:" + movie(i).substr(kRoot.size() + 1));
        EXPECT_EQ(minus(before, after), removed) << c.tick;
        EXPECT_EQ(minus(after, before), Inventory{}) << c.tick;
        EXPECT_EQ(program.waitExit(), 0u);
        EXPECT_EQ(clipboardText(), c.inUse ? kInUse : "sentinel") << "only error texts go to the clipboard";
        // The first-level key goes with nothing else in it; the group folder
        // and the first-level key are not in the inventory's view.
        EXPECT_EQ(registryKeyExists(HKEY_CURRENT_USER, kRegistry), !c.tick);
        EXPECT_EQ(exists(programs()), !c.tick);
        waitForScript(exe);
    }
    cleanUp();
}

// Cancel in the confirmation keeps the window; Cancel in the box that names
// the files in use ends the program with -1. Either way the installation
// stays whole, so the user can uninstall again.
TEST(Uninstall, CancelTouchesNothing)
{
    for (bool inUse : {false, true}) {
        std::string exe = install(false);
        FilesInUse use;
        if (inUse)
            use.start();
        Inventory before = inventory();
        Program program(exe);
        ASSERT_TRUE(program.started());
        if (inUse) {
            EXPECT_EQ(uninstallThroughWindow(program, kCaption, IDOK, true, [](const std::string&) { return IDCANCEL; }),
                      std::vector<std::string>{kInUse});
            EXPECT_EQ(clipboardText(), kInUse);
            EXPECT_EQ(program.waitExit(), 0xFFFFFFFFu);
        } else {
            EXPECT_EQ(uninstallThroughWindow(program, kCaption, IDCANCEL, true), std::vector<std::string>{kCancelled});
            HWND main = waitForDialog(program.pid(), kCaption.c_str());
            ASSERT_TRUE(main) << "the window stays";
            postClose(main);
            EXPECT_EQ(program.waitExit(), 0u);
        }
        EXPECT_EQ(inventory(), before) << inUse;
    }
    cleanUp();
}

// Files that appear and are taken into use after the check (the check
// leaves every file it found marked for deletion, which no program can
// open), while the removal works through many files before them. One is
// mapped into memory, so it cannot be deleted but can be moved: it goes
// into the program's own folder at the volume's root and is deleted there
// at the restart, after which the folder goes; nothing inside the
// installation is marked, so a reinstall before the restart loses nothing.
// The other is held without delete sharing, so it cannot even be moved: it
// stays, unmarked, and the last box names it.
TEST(Uninstall, FileTakenIntoUseLaterGoesAtRestart)
{
    const std::string root = freshFolder("later");
    const std::string folder = root + "\\Soft\\Title";
    makePath(folder + "\\first\\");
    std::string exe = prepareInstallation(
        folder, "TITLEBAR\tE2E|ソフト|テスト\r\nINSTFOL\tSoft\r\n[EOF]\r\n[delfiles]\r\nfirst\\*\r\nlate\\*.dat\r\n-\r\n");
    for (int i = 0; i < 1000; ++i)
        writeFile(folder + "\\first\\" + std::to_string(i), "x");
    writeFile(folder + "\\install.arc", "first to go");
    makePath(folder + "\\late\\");
    removalsAtRestart("", true);

    Program program(exe);
    ASSERT_TRUE(program.started());
    // install.arc is the first file to go, after the check; the late files
    // appear and are taken into use then, before the sweep reaches them.
    HANDLE held = INVALID_HANDLE_VALUE;
    void* view = nullptr;
    std::thread user([&] {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        for (DWORD start = GetTickCount(); exists(folder + "\\install.arc") && GetTickCount() - start < 20000;)
            Sleep(1);
        writeFile(folder + "\\late\\z.dat", "mapped");
        HANDLE file = CreateFileA((folder + "\\late\\z.dat").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  NULL, OPEN_EXISTING, 0, NULL);
        HANDLE mapping = CreateFileMappingA(file, NULL, PAGE_READONLY, 0, 0, NULL);
        view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
        CloseHandle(mapping);
        CloseHandle(file);
        held = CreateFileA((folder + "\\late\\y.dat").c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_NEW, 0,
                           NULL);
    });
    std::vector<std::string> boxes = uninstallThroughWindow(program, kCaption, IDOK, false);
    user.join();
    EXPECT_EQ(boxes, std::vector<std::string>{std::string(kFinal) + "\n一部のファイルは再起動後に削除されます。\n\n"
                                                                   "次のファイルは削除できませんでした。\n\nlate\\y.dat"});
    std::vector<std::string> marked = removalsAtRestart("", false);
    ASSERT_EQ(marked.size(), 2u);
    EXPECT_EQ(marked[1].rfind("\\??\\C:\\uninst-", 0), 0u) << marked[1];
    EXPECT_EQ(marked[0], marked[1] + "\\1");
    EXPECT_EQ(program.waitExit(), 0u);
    waitForScript(exe);
    EXPECT_EQ(fileInventory(folder), (Inventory{"late\\", "late\\y.dat"}));

    // The application ends, the user reinstalls, then restarts.
    UnmapViewOfFile(view);
    CloseHandle(held);
    writeFile(folder + "\\late\\z.dat", "reinstalled");
    Program restart("C:\\windows\\system32\\wineboot.exe", "C:\\", "-r");
    EXPECT_EQ(restart.waitExit(60000), 0u);
    EXPECT_EQ(readFile(folder + "\\late\\z.dat"), "reinstalled");
    EXPECT_FALSE(exists(marked[1].substr(4)));
    EXPECT_EQ(removalsAtRestart("", true), std::vector<std::string>{});
    removeTree(root);
}

// A removal longer than the five seconds after which Windows takes a
// window that handles no message for hung (install.env names each of a
// thousand files, as many installers write it): the window answers
// throughout, its buttons disabled, refuses to let the session end, and
// its bar rises to the end.
TEST(Uninstall, WindowAnswersThroughALongRemoval)
{
    const std::string folder = freshFolder("long");
    std::string env = "TITLEBAR\tE2E|ソフト|テスト\r\n[EOF]\r\n[delfiles]\r\n";
    CreateDirectoryA((folder + "\\data").c_str(), NULL);
    for (int i = 0; i < 1000; ++i) {
        std::string name = "data\\" + std::to_string(i) + ".dat";
        env += name + "\r\n";
        CloseHandle(CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    }
    std::string exe = prepareInstallation(folder, env + "-\r\n");
    Program program(exe);
    ASSERT_TRUE(program.started());
    // The window's answer within a second, -1 without one.
    auto ask = [](HWND window, UINT message) {
        DWORD_PTR result;
        return SendMessageTimeoutA(window, message, 0, 0, SMTO_NORMAL, 1000, &result) ? (LRESULT)result : -1;
    };
    std::atomic<bool> ended(false);
    std::atomic<HWND> bar(NULL);
    std::vector<LRESULT> positions;
    LRESULT endSession = -1;
    bool hung = false, answered = true;
    DWORD took = 0;
    std::thread user([&] {
        HWND main = waitForDialog(program.pid(), kCaption.c_str());
        waitFor([&] { return (bar = FindWindowExA(main, NULL, PROGRESS_CLASSA, NULL)) != NULL; }, 20000);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, kUninstallButton)));
        for (DWORD start = GetTickCount(); !ended && IsWindow(bar); took = GetTickCount() - start) {
            hung = hung || IsHungAppWindow(main);
            answered = answered && ask(main, WM_NULL) != -1;
            positions.push_back(ask(bar, PBM_GETPOS));
            if (positions.size() == 10)
                endSession = ask(main, WM_QUERYENDSESSION);
            Sleep(100);
        }
    });
    LRESULT last = -1, end = 0;
    auto atFinal = [&](const std::string&) {
        ended = true;
        last = SendMessageA(bar, PBM_GETPOS, 0, 0);
        end = SendMessageA(bar, PBM_GETRANGE, FALSE, 0);
        return IDOK;
    };
    EXPECT_EQ(uninstallThroughWindow(program, kCaption, IDOK, false, atFinal), std::vector<std::string>{kFinal});
    user.join();
    EXPECT_GT(took, 5000u) << "too small an installation to outlast five seconds";
    EXPECT_FALSE(hung);
    EXPECT_TRUE(answered);
    EXPECT_EQ(endSession, FALSE);
    ASSERT_FALSE(positions.empty());
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_LT(positions.front(), positions.back());
    EXPECT_GE(end, 1000) << "the files the check found";
    EXPECT_EQ(last, end);
    EXPECT_EQ(program.waitExit(), 0u);
    waitForScript(exe);
    removeTree(folder);
}

// At a drive root the program's folder cannot be told from the drive: it
// says so, and Retry closes the window with nothing removed.
TEST(Uninstall, ProgramAtADriveRootRemovesNothing)
{
    std::string folder = freshFolder("driveroot");
    prepareInstallation(folder, kInstallEnv);
    writeFile(folder + "\\game.exe", "game");
    unmapDrive('X', folder);  // one that a run which ended early left behind
    if (!mapDrive('X', folder))
        GTEST_SKIP() << "no drive letter can be made here";
    Inventory before = fileInventory(folder);
    Program program("X:\\uninst.exe");
    ASSERT_TRUE(program.started());
    HWND main = waitForDialog(program.pid(), kCaption.c_str());
    ASSERT_TRUE(main);
    pressButton(main, kUninstallButton);
    HWND box = waitForDialog(program.pid(), nullptr, 10000, {main});
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box), "インストール先の特定に失敗しました");
    EXPECT_EQ(messageBoxButtons(box), (std::vector<int>{IDRETRY, IDCANCEL}));
    pressButton(box, IDRETRY);
    EXPECT_EQ(program.waitExit(), 0u);
    EXPECT_EQ(fileInventory(folder), before);
    unmapDrive('X', folder);
    removeTree(folder);
}

// Patterns that would reach outside the folder, each aimed at a file the
// test placed there: none is deleted, no outside folder removed.
TEST(Uninstall, HostilePatternsDeleteNothingOutside)
{
    const std::string root = freshFolder("hostile");
    const std::string folder = root + "\\inst";
    const std::vector<std::string> patterns = {
        "..\\victim.txt", "..\\*.txt", "..\\victims\\*.dat", "..\\victims\\*", "..\\empty\\*",
        "C:\\e2e\\hostile\\victim.txt", "C:..\\victim.txt", "C:victim.txt", "\\victim.txt", "\\e2e\\hostile\\victim.txt",
        "/e2e/hostile/victim.txt", "\\\\?\\C:\\e2e\\hostile\\victim.txt", "\\\\.\\C:\\e2e\\hostile\\victim.txt",
        "...\\victim.txt", ". .\\victim.txt", ".. \\victim.txt", "sub\\..\\..\\victim.txt",
        "sub/../../victim.txt", ".\\..\\victim.txt", "sub\\\\..\\victim.txt", "link\\*", "link\\*.dat", "link/*",
        "link\\deep\\*",
        "sub\\" + std::string(300, 'x') + "\\*"};
    std::string env = "TITLEBAR\tE2E|ソフト|テスト\r\n[EOF]\r\n[delfiles]\r\n";
    for (const std::string& p : patterns)
        env += p + "\r\n";
    env += "-\r\n[delfiles_user]\r\n";
    for (const std::string& p : patterns)
        env += p + "\r\n";
    env += "-\r\n";
    CreateDirectoryA(folder.c_str(), NULL);
    std::string exe = prepareInstallation(folder, env);
    CreateDirectoryA((folder + "\\sub").c_str(), NULL);
    CreateDirectoryA((root + "\\victims").c_str(), NULL);
    CreateDirectoryA((root + "\\empty").c_str(), NULL);
    writeFile(root + "\\victim.txt", "mine");
    writeFile(root + "\\victims\\a.dat", "mine");
    makePath(root + "\\victims\\deep\\b.dat");
    writeFile("C:\\victim.txt", "mine");
    bool linked = makeDirectoryLink(folder + "\\link", root + "\\victims");
    Inventory outside = minus(fileInventory(root), fileInventory(folder, "inst\\"));

    Program program(exe);
    ASSERT_TRUE(program.started());
    EXPECT_EQ(uninstallThroughWindow(program, kCaption, IDOK, true), std::vector<std::string>{kFinal});
    EXPECT_EQ(program.waitExit(), 0u);
    EXPECT_EQ(minus(fileInventory(root), fileInventory(folder, "inst\\")), outside);
    EXPECT_TRUE(exists("C:\\victim.txt"));
    if (linked) {
        EXPECT_TRUE(exists(folder + "\\link\\a.dat"));
    }
    waitForScript(exe);
    DeleteFileA("C:\\victim.txt");
    removeTree(root);
}

// Patterns over files whose short aliases match them (x.data is X~1.DAT):
// exactly the long-name matches go, nothing else inside the folder or out
// of it.
TEST(Uninstall, OnlyLongNameMatchesGo)
{
    const std::string root = freshFolder("longnames");
    const std::string folder = root + "\\inst";
    CreateDirectoryA(folder.c_str(), NULL);
    std::string exe = prepareInstallation(
        folder, "TITLEBAR\tE2E|ソフト|テスト\r\n[EOF]\r\n[delfiles]\r\ny*\r\nz*\r\n*.dat\r\ndata\\*.txt\r\n?.ini\r\n"
                "save\\\r\n-\r\n");
    CreateDirectoryA((folder + "\\data").c_str(), NULL);
    CreateDirectoryA((folder + "\\save").c_str(), NULL);
    for (const char* name : {"x.dat", "x.data", "longname.datx", "data\\a.txt", "data\\diary.txt_old", "b.ini",
                             "ab.ini", "keep.txt", "victim.txt", "yes.txt", "zz.txt"})
        writeFile(folder + "\\" + name, name);
    writeFile(root + "\\victim.txt", "mine");
    Inventory before = fileInventory(root), after;

    Program program(exe);
    ASSERT_TRUE(program.started());
    EXPECT_EQ(uninstallThroughWindow(program, kCaption, IDOK, false,
                        [&](const std::string& text) {
                            if (text == kFinal)
                                after = fileInventory(root);
                            return IDOK;
                        }),
              (std::vector<std::string>{"フォルダ[" + folder + "]にはユーザファイルが残っています。", kFinal}));
    EXPECT_EQ(program.waitExit(), 0u);
    EXPECT_EQ(minus(before, after), (Inventory{"inst\\install.env", "inst\\insttscr.rct", "inst\\x.dat",
                                               "inst\\data\\a.txt", "inst\\b.ini", "inst\\save\\",
                                               "inst\\yes.txt", "inst\\zz.txt"}));
    EXPECT_EQ(minus(after, before), Inventory{});
    waitForScript(exe);
    removeTree(root);
}

}  // namespace
