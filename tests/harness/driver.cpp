#include "harness/driver.h"
#include "harness/inventory.h"
#include "image/rct_encode.h"

#include <stdio.h>
#include <string.h>

namespace harness {

namespace {

std::string driverFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    char* sep = strrchr(path, '\\');  // the build folder is ASCII
    if (sep)
        *sep = '\0';
    return path;
}

// The folders on the way to path: every prefix ending before a real
// separator (paths here are built by the tests, so a '\\' after a lead byte
// is a trail byte).
void makeFoldersTo(const std::string& path)
{
    for (size_t i = 3; i < path.size(); ++i) {
        if (IsDBCSLeadByte((BYTE)path[i])) {
            ++i;
            continue;
        }
        if (path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), NULL);
    }
}

void makeFolders(const std::string& path)
{
    makeFoldersTo(path);
    CreateDirectoryA(path.c_str(), NULL);
}

}  // namespace

std::string freshFolder(const std::string& name)
{
    std::string path = "C:\\e2e\\" + name;
    removeTree(path);
    makeFolders(path);
    return path;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

void makePath(const std::string& path)
{
    makeFoldersTo(path);
    if (path.back() != '\\')
        writeFile(path, path);
}

std::string readFile(const std::string& path)
{
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeTree(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        removeLink(path);
        return;
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
                removeTree(path + "\\" + found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string installProgram(const std::string& folder)
{
    std::string exe = folder + "\\uninst.exe";
    copyBuiltProgram("uninst.exe", exe);
    return exe;
}

void copyBuiltProgram(const std::string& name, const std::string& path)
{
    CopyFileA((driverFolder() + "\\" + name).c_str(), path.c_str(), FALSE);
}

std::string titlePicture(int w, int h, const char* name, std::vector<unsigned char>* pixels)
{
    std::vector<unsigned char> bgr;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bgr.push_back((unsigned char)(x * 255 / w));
            bgr.push_back((unsigned char)(y * 7 + x * 3));
            bgr.push_back((unsigned char)(((x / 8 + y / 8) & 1) ? 0xE0 : 0x30));
        }
    std::vector<unsigned char> file = encodeRctFile(bgr.data(), w, h, name);
    if (pixels)
        *pixels = bgr;
    return std::string(file.begin(), file.end());
}

std::string prepareInstallation(const std::string& folder, const std::string& installEnv)
{
    writeFile(folder + "\\install.env", installEnv);
    writeFile(folder + "\\insttscr.rct", titlePicture(8, 8));
    return installProgram(folder);
}

Program::Program(const std::string& exePath, const std::string& currentDir, const std::string& arguments)
{
    // Standard handles on NUL: the hidden script that the program leaves
    // behind would otherwise echo every round of its retry loop into the
    // test's output.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, NULL);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + exePath + "\"" + (arguments.empty() ? "" : " " + arguments);
    BOOL created = CreateProcessA(exePath.c_str(), &commandLine[0], NULL, NULL, TRUE, 0, NULL, currentDir.c_str(),
                                  &startup, &info);
    CloseHandle(nul);
    if (created) {
        process_ = info.hProcess;
        pid_ = info.dwProcessId;
        CloseHandle(info.hThread);
        WaitForInputIdle(process_, 5000);
    }
}

Program::~Program()
{
    if (!process_)
        return;
    if (running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

DWORD Program::waitExit(DWORD timeoutMs)
{
    if (!process_)
        return STILL_ACTIVE;
    WaitForSingleObject(process_, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool Program::running() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

namespace {

// Visible top-level windows of a class, of one process (any when pid is 0).
struct WindowSearch {
    DWORD pid;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM param)
{
    WindowSearch* search = (WindowSearch*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[64];
    if ((!search->pid || pid == search->pid) && IsWindowVisible(window) &&
        GetClassNameA(window, className, sizeof className) && _stricmp(className, search->className) == 0)
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK collectChild(HWND window, LPARAM param)
{
    std::vector<HWND>* children = (std::vector<HWND>*)param;
    children->push_back(window);
    return TRUE;
}

std::vector<HWND> windowsOf(DWORD pid, const char* className)
{
    WindowSearch search = {pid, className, {}};
    EnumWindows(collectWindow, (LPARAM)&search);
    return search.found;
}

}  // namespace

std::vector<HWND> dialogsOf(DWORD pid)
{
    return windowsOf(pid, "#32770");
}

HWND waitForDialog(DWORD pid, const char* caption, DWORD timeoutMs, const std::vector<HWND>& except)
{
    HWND result = NULL;
    waitFor(
        [&] {
            for (HWND dialog : dialogsOf(pid)) {
                bool excluded = false;
                for (HWND e : except)
                    excluded = excluded || e == dialog;
                if (!excluded && (!caption || windowText(dialog) == caption)) {
                    result = dialog;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return result;
}

bool waitGone(HWND window, DWORD timeoutMs)
{
    return waitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

std::string windowText(HWND window)
{
    char text[2048] = "";
    // WM_GETTEXT with a timeout, so a hung program cannot hang the driver.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    text[sizeof text - 1] = '\0';
    return text;
}

std::vector<Control> controlsOf(HWND dialog)
{
    std::vector<HWND> children;
    EnumChildWindows(dialog, collectChild, (LPARAM)&children);
    std::vector<Control> controls;
    for (HWND child : children) {
        Control c;
        c.hwnd = child;
        c.id = GetDlgCtrlID(child);
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        c.className = className;
        c.text = windowText(child);
        c.visible = IsWindowVisible(child) != FALSE;
        GetWindowRect(child, &c.screen);
        controls.push_back(c);
    }
    return controls;
}

const Control* findControl(const std::vector<Control>& controls, int id)
{
    for (const Control& c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

std::string messageBoxText(HWND box)
{
    std::string text;
    for (const Control& c : controlsOf(box)) {
        if (_stricmp(c.className.c_str(), "Static") == 0 && c.text.size() > text.size())
            text = c.text;
    }
    return text;
}

std::vector<int> messageBoxButtons(HWND box)
{
    std::vector<int> ids;
    for (const Control& c : controlsOf(box))
        if (_stricmp(c.className.c_str(), "Button") == 0 && c.visible)
            ids.push_back(c.id);
    return ids;
}

void pressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void postClose(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
}

void postKey(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 0);
    PostMessageA(window, WM_KEYUP, key, 0xC0000000);
}

bool isChecked(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

void postCloseBox(HWND window)
{
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

HWND focusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info))
        return NULL;
    return info.hwndFocus;
}

std::vector<HWND> windowsOfClass(const char* className)
{
    return windowsOf(0, className);
}

void endProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process)
        return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

// Windows empties a clipboard opened without a window to no owner, and then
// refuses its data: the driver opens it with a message-only window of its
// own, and destroys that window at once. As the owner it would hold up the
// next program's EmptyClipboard (sent WM_DESTROYCLIPBOARD, which a test
// waiting for that program never answers); the data stays without it.
static HWND clipboardWindow()
{
    return CreateWindowExA(0, "STATIC", NULL, 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
}

// The clipboard's block in format, whole; empty when it holds none.
static std::string clipboardData(UINT format)
{
    std::string bytes;
    HWND window = clipboardWindow();
    if (OpenClipboard(window)) {
        if (HANDLE data = GetClipboardData(format)) {
            if (const char* p = (const char*)GlobalLock(data)) {
                bytes.assign(p, GlobalSize(data));
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    DestroyWindow(window);
    return bytes;
}

std::string clipboardText()
{
    return clipboardData(CF_TEXT).c_str();
}

LCID clipboardLocale()
{
    std::string data = clipboardData(CF_LOCALE);
    LCID locale = 0;
    if (data.size() >= sizeof locale)
        memcpy(&locale, data.data(), sizeof locale);
    return locale;
}

void setClipboardText(const std::string& text)
{
    HWND window = clipboardWindow();
    if (OpenClipboard(window)) {
        EmptyClipboard();
        if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
            memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
            GlobalUnlock(block);
            if (!SetClipboardData(CF_TEXT, block))
                GlobalFree(block);
        }
        CloseClipboard();
    }
    DestroyWindow(window);
}

std::vector<std::string> uninstallThroughWindow(Program& program, const std::string& caption, int answer, bool tick,
                                                const std::function<int(const std::string&)>& reply)
{
    const int uninstallButton = 1001, saveFilesBox = 1007;
    const char final[] = "アンインストールを終了します", cancelled[] = "アンインストールを中止しました";
    std::vector<std::string> texts;
    HWND main = waitForDialog(program.pid(), caption.c_str());
    if (!main)
        return {"no main window"};
    pressButton(main, uninstallButton);
    HWND confirm = waitForDialog(program.pid(), nullptr, 10000, {main});
    if (!confirm || !GetDlgItem(confirm, saveFilesBox))
        return {"no confirmation"};
    if (tick) {
        PostMessageA(GetDlgItem(confirm, saveFilesBox), BM_CLICK, 0, 0);
        waitFor([&] { return isChecked(confirm, saveFilesBox); });
    }
    pressButton(confirm, answer);
    waitGone(confirm);
    // A long removal comes before the next box; an ended program brings none.
    HWND box;
    auto boxOrEnd = [&] { return (box = waitForDialog(program.pid(), nullptr, 0, {main})) || !program.running(); };
    while (waitFor(boxOrEnd, 60000) && box) {
        texts.push_back(messageBoxText(box));
        int button = reply(texts.back());
        pressButton(box, button);
        waitGone(box);
        if (texts.back().compare(0, strlen(final), final) == 0 || texts.back() == cancelled || button == IDCANCEL)
            break;
    }
    return texts;
}

Capture captureScreen(const RECT& rect)
{
    Capture capture;
    capture.width = rect.right - rect.left;
    capture.height = rect.bottom - rect.top;
    if (capture.width <= 0 || capture.height <= 0)
        return Capture();
    // A 24-bit top-down DIB section with rows padded to 4 bytes, copied out
    // without the padding.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    size_t row = (size_t)capture.width * 3;
    size_t stride = (row + 3) & ~(size_t)3;
    capture.bgr.resize(row * capture.height);
    for (int y = 0; y < capture.height; ++y)
        memcpy(&capture.bgr[row * y], (const unsigned char*)bits + stride * y, row);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return capture;
}

RECT clientOnScreen(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    MapWindowPoints(window, NULL, (POINT*)&rect, 2);
    return rect;
}

}  // namespace harness
