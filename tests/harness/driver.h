// End-to-end driver: prepares an installation folder with a copy of the real
// uninst.exe, starts it, and works its windows from outside the way a user
// would: reading captions, texts and positions, pressing buttons.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace harness {

// --- files ---------------------------------------------------------------
// A fresh, empty folder C:\e2e\<name> (ANSI name, may hold Shift-JIS).
std::string freshFolder(const std::string& name);
void writeFile(const std::string& path, const std::string& bytes);
// Creates the folders on the way to path, and the file itself (holding its
// own path) unless path ends in '\'.
void makePath(const std::string& path);
std::string readFile(const std::string& path);
bool exists(const std::string& path);
void removeTree(const std::string& path);
// Copies the uninst.exe built beside this driver into folder as uninst.exe.
std::string installProgram(const std::string& folder);
// Copies the program name built beside this driver to path.
void copyBuiltProgram(const std::string& name, const std::string& path);
// A title picture of w x h pixels, each unlike its neighbours, so that a
// shifted, flipped or clipped drawing shows; made by the project's encoder,
// named when name is given. pixels receives them (blue, green, red, top row
// first). The program linking the harness links the encoder too.
std::string titlePicture(int w, int h, const char* name = nullptr, std::vector<unsigned char>* pixels = nullptr);
// The usual installation: uninst.exe, install.env with the given text and a
// small insttscr.rct. Returns the path of uninst.exe.
std::string prepareInstallation(const std::string& folder, const std::string& installEnv);

// --- processes -----------------------------------------------------------
class Program {
public:
    // Starts exePath, with the arguments, in currentDir (default: C:\).
    explicit Program(const std::string& exePath, const std::string& currentDir = "C:\\",
                     const std::string& arguments = "");
    ~Program();  // ends the process if the test left it running
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD pid() const { return pid_; }
    bool started() const { return process_ != NULL; }
    // Exit code, or STILL_ACTIVE when it did not end within timeoutMs.
    DWORD waitExit(DWORD timeoutMs = 10000);
    bool running() const;

private:
    HANDLE process_ = NULL;
    DWORD pid_ = 0;
};

// --- windows -------------------------------------------------------------
// Visible top-level dialogs (class #32770) of a process.
std::vector<HWND> dialogsOf(DWORD pid);
// Waits for a visible dialog of pid whose caption equals caption (any
// caption when null) and that is not in except; NULL after timeoutMs.
HWND waitForDialog(DWORD pid, const char* caption = nullptr, DWORD timeoutMs = 10000,
                   const std::vector<HWND>& except = {});
// Waits until the dialog is gone (destroyed or hidden).
bool waitGone(HWND window, DWORD timeoutMs = 10000);

std::string windowText(HWND window);
struct Control {
    HWND hwnd;
    int id;
    std::string className;
    std::string text;
    bool visible;
    RECT screen;  // screen coordinates
};
std::vector<Control> controlsOf(HWND dialog);
const Control* findControl(const std::vector<Control>& controls, int id);
// The text of a message box (its static text control).
std::string messageBoxText(HWND box);
// Button ids present in a message box.
std::vector<int> messageBoxButtons(HWND box);

// Posts a click on control id of dialog, as a real click sends it.
void pressButton(HWND dialog, int id);
void postClose(HWND window);
void postKey(HWND window, WPARAM key);
bool isChecked(HWND dialog, int id);

// Posts what the close box of the caption sends (WM_SYSCOMMAND, SC_CLOSE).
void postCloseBox(HWND window);
// The window with the keyboard focus in the thread that owns window, or NULL.
HWND focusOf(HWND window);
// Visible top-level windows of the class, of any process.
std::vector<HWND> windowsOfClass(const char* className);
// Ends the process that owns window (for programs the tests made start).
void endProcessOf(HWND window);

std::string clipboardText();
// The locale the clipboard's text is tagged with (CF_LOCALE), or 0.
LCID clipboardLocale();
void setClipboardText(const std::string& text);

// The uninstall as a user runs it: presses "アンインストール" (the middle
// button, there being no readme button) in the window captioned caption,
// answers the confirmation with answer (ticking the save files when tick),
// then each box with what reply gives for its text (OK by default); returns
// their texts, up to the last box, a cancelled run's or a Cancel, or the
// program's end.
std::vector<std::string> uninstallThroughWindow(Program& program, const std::string& caption, int answer, bool tick,
                                                const std::function<int(const std::string&)>& reply =
                                                    [](const std::string&) { return IDOK; });

// --- screen --------------------------------------------------------------
// Pixels as the screen shows them: 3 bytes each (blue, green, red), rows of
// exactly 3·width bytes, top row first.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bgr;
    const unsigned char* pixel(int x, int y) const { return &bgr[3 * ((size_t)y * width + x)]; }
};
Capture captureScreen(const RECT& screenRect);
// The client area of window in screen coordinates.
RECT clientOnScreen(HWND window);

// Waits for a predicate, polling; false on timeout.
template <class F>
bool waitFor(F predicate, DWORD timeoutMs = 10000)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (predicate())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(30);
    }
}

}  // namespace harness
