// The walk-through of ./run demo: starts the installed uninst.exe and either
// works its windows itself (taking a screenshot of every step) or waits for
// the user to do so; then prints what existed before and what is gone.
//
//   demo_walk auto  UNINST.EXE CHECKLIST SHOT_FOLDER
//   demo_walk watch UNINST.EXE CHECKLIST
//
// CHECKLIST (code page 932): one item a line, fields separated by tabs:
//   gone|stays  file|folder|key|ini  PATH  [INI SECTION]
// Registry paths begin with HKCU\ or HKLM\. Exit status 0 when every item
// ended as expected.
#include <windows.h>
#include <commctrl.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "harness/driver.h"
#include "harness/registry_view.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

using namespace harness;

namespace {

const char kUninstallButton[] = "アンインストール";
const int kSaveFilesBox = 1007;

// The walk reports on standard error: the uninstaller's hidden script echoes
// its commands to the standard output it inherits under Wine.
void say(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fflush(stderr);
}

bool savePng(const Capture& capture, const std::string& path)
{
    std::vector<unsigned char> rgb(capture.bgr);
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        std::swap(rgb[i], rgb[i + 2]);
    return stbi_write_png(path.c_str(), capture.width, capture.height, 3, rgb.data(), capture.width * 3) != 0;
}

struct Item {
    bool shouldGo;
    std::string kind;
    std::string path;
    std::string section;
    bool before = false;
    bool after = false;
};

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

std::vector<Item> readChecklist(const std::string& path)
{
    std::vector<Item> items;
    std::string text = readFile(path);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> f = splitTabs(line);
        if (f.size() < 3)
            continue;
        Item item;
        item.shouldGo = f[0] == "gone";
        item.kind = f[1];
        item.path = f[2];
        item.section = f.size() > 3 ? f[3] : "";
        items.push_back(item);
    }
    return items;
}

bool keyExists(const std::string& path)
{
    HKEY root = path.compare(0, 5, "HKCU\\") == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str() + 5, 0, KEY_READ | kProgramView, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool iniSectionExists(const std::string& file, const std::string& section)
{
    char names[8192] = "";
    DWORD n = GetPrivateProfileSectionNamesA(names, sizeof names, file.c_str());
    for (const char* p = names; p < names + n && *p; p += strlen(p) + 1) {
        if (_stricmp(p, section.c_str()) == 0)
            return true;
    }
    return false;
}

bool itemExists(const Item& item)
{
    if (item.kind == "key")
        return keyExists(item.path);
    if (item.kind == "ini")
        return iniSectionExists(item.path, item.section);
    return exists(item.path);
}

void snapshot(std::vector<Item>& items, bool after)
{
    for (Item& item : items)
        (after ? item.after : item.before) = itemExists(item);
}

// Prints the table; true when every item ended as the checklist expects.
bool printTable(const std::vector<Item>& items)
{
    bool allAsExpected = true;
    say("\n%-7s %-7s %-9s %-7s %s\n", "before", "after", "expected", "kind", "item");
    for (const Item& item : items) {
        bool ok = item.after != item.shouldGo;
        allAsExpected = allAsExpected && ok;
        std::string what = item.path + (item.section.empty() ? "" : " [" + item.section + "]");
        say("%-7s %-7s %-9s %-7s %s\n", item.before ? "there" : "-", item.after ? "there" : "gone",
               ok ? "ok" : (item.shouldGo ? "LEFT" : "LOST"), item.kind.c_str(), what.c_str());
    }
    return allAsExpected;
}

// Saves what the screen shows of the window as a PNG file, once it has
// had settleMs to draw itself.
void saveScreenshot(HWND window, const std::string& folder, const char* name, DWORD settleMs = 400)
{
    SetForegroundWindow(window);
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(settleMs);
    RECT rect;
    GetWindowRect(window, &rect);
    if (savePng(captureScreen(rect), folder + "\\" + name))
        say("   screenshot %s\n", name);
}

int buttonWithText(HWND dialog, const char* text)
{
    for (const Control& c : controlsOf(dialog)) {
        if (c.visible && c.text == text)
            return c.id;
    }
    return 0;
}

std::string folderOf(const std::string& exe)
{
    // Cut at the last real separator: the folder names hold Shift-JIS.
    size_t cut = 0;
    for (size_t i = 0; i < exe.size(); ++i) {
        if (IsDBCSLeadByte((BYTE)exe[i]))
            ++i;
        else if (exe[i] == '\\')
            cut = i;
    }
    return exe.substr(0, cut);
}

// After the program has gone, its script deletes uninst.exe and the folder.
void waitForScript(const std::string& exe)
{
    say("-- waiting for the script to delete uninst.exe and the folder\n");
    if (!waitFor([&] { return !exists(exe); }, 60000))
        say("   uninst.exe is still there after 60 s\n");
}

// Answers every box the program shows until it has ended; false when the
// main window stays open (the uninstall stopped).
bool answerBoxes(Program& program, HWND main, const std::string& shots, int step)
{
    for (;;) {
        HWND box = NULL;
        waitFor(
            [&] {
                for (HWND d : dialogsOf(program.pid())) {
                    if (d != main)
                        box = d;
                }
                return box || !program.running();
            },
            30000);
        if (!box)
            return !program.running();
        say("-- message box: %s\n", messageBoxText(box).c_str());
        char name[32];
        snprintf(name, sizeof name, "%02d-message.png", step++);
        saveScreenshot(box, shots, name);
        std::vector<int> buttons = messageBoxButtons(box);
        pressButton(box, buttons.empty() ? IDOK : buttons[0]);
        waitGone(box);
        if (waitFor([&] { return !program.running(); }, 1500))
            return true;
        if (IsWindowVisible(main) && dialogsOf(program.pid()).size() == 1 &&
            !waitFor([&] { return dialogsOf(program.pid()).size() > 1 || !program.running(); }, 3000))
            return false;
    }
}

int walk(const std::string& exe, const std::string& shots)
{
    Program program(exe, folderOf(exe));
    if (!program.started()) {
        say("cannot start %s\n", exe.c_str());
        return 1;
    }
    HWND main = waitForDialog(program.pid(), nullptr, 20000);
    if (!main) {
        say("no main window\n");
        return 1;
    }
    say("-- main window: %s\n", windowText(main).c_str());
    saveScreenshot(main, shots, "01-main.png");

    int uninstall = buttonWithText(main, kUninstallButton);
    say("-- pressing %s\n", kUninstallButton);
    pressButton(main, uninstall);
    HWND confirm = waitForDialog(program.pid(), nullptr, 10000, {main});
    if (!confirm) {
        say("no confirmation dialog\n");
        return 1;
    }
    say("-- %s: %s\n", windowText(confirm).c_str(), windowText(GetDlgItem(confirm, 1026)).c_str());
    saveScreenshot(confirm, shots, "02-confirm.png");

    say("-- ticking: %s\n", windowText(GetDlgItem(confirm, kSaveFilesBox)).c_str());
    DWORD_PTR ignored;
    SendMessageTimeoutA(GetDlgItem(confirm, kSaveFilesBox), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    if (!isChecked(confirm, kSaveFilesBox))
        say("   the box did not take the tick\n");
    saveScreenshot(confirm, shots, "03-confirm-ticked.png");
    say("-- pressing OK\n");
    pressButton(confirm, IDOK);
    waitGone(confirm);

    // The window at work, caught as the bar passes a third; the files go
    // on meanwhile, so it is taken at once.
    HWND bar = NULL;
    LRESULT done = 0, all = 0;
    if (waitFor(
            [&] {
                bar = FindWindowExA(main, NULL, PROGRESS_CLASSA, NULL);
                all = bar ? SendMessageA(bar, PBM_GETRANGE, FALSE, 0) : 0;
                done = bar ? SendMessageA(bar, PBM_GETPOS, 0, 0) : 0;
                return all > 1 && done * 3 >= all;
            },
            30000)) {
        say("-- removing: %ld of %ld files\n", (long)done, (long)all);
        saveScreenshot(main, shots, "04-removing.png", 50);
    }

    if (!answerBoxes(program, main, shots, 5)) {
        say("the uninstall stopped; closing the window\n");
        postClose(main);
        program.waitExit(5000);
        return 1;
    }
    say("-- uninst.exe ended with exit code %ld\n", (long)program.waitExit(10000));
    waitForScript(exe);
    return 0;
}

int watch(const std::string& exe)
{
    Program program(exe, folderOf(exe));
    if (!program.started()) {
        say("cannot start %s\n", exe.c_str());
        return 1;
    }
    program.waitExit(INFINITE);
    // Without an uninstall install.env is still there: no script to wait for.
    if (exists(folderOf(exe) + "\\install.env")) {
        say("-- the uninstaller was closed without an uninstall\n");
        return 1;
    }
    waitForScript(exe);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (!((mode == "auto" && argc == 5) || (mode == "watch" && argc == 4))) {
        fputs("usage: demo_walk auto UNINST.EXE CHECKLIST SHOT_FOLDER\n"
              "       demo_walk watch UNINST.EXE CHECKLIST\n",
              stderr);
        return 2;
    }
    std::string exe = argv[2];
    std::vector<Item> items = readChecklist(argv[3]);
    snapshot(items, false);
    int result = mode == "auto" ? walk(exe, argv[4]) : watch(exe);
    // The script removes the folders a moment after uninst.exe, the one
    // above last: a little time for all that should go.
    waitFor(
        [&] {
            for (const Item& item : items) {
                if (item.shouldGo && itemExists(item))
                    return false;
            }
            return true;
        },
        5000);
    snapshot(items, true);
    bool asExpected = printTable(items);
    return result != 0 ? result : (asExpected ? 0 : 1);
}
