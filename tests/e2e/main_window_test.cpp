#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <functional>

#include "harness/driver.h"

using namespace harness;

namespace {

const char kCaption[] = "窓のテスト アンインストール";
const std::string kEnv = "TITLEBAR 窓のテスト\r\n";

// A picture of the harness's, with the pixels it holds.
struct Picture {
    int width, height;
    std::vector<unsigned char> bgr;
    std::string file;
};

Picture makePicture(int width, int height, const char* name = nullptr)
{
    Picture p{width, height, {}, {}};
    p.file = titlePicture(width, height, name, &p.bgr);
    return p;
}

// The program started on a fresh installation of its own, files put in
// first by prepare; the folder goes again at the end.
struct Started {
    std::string folder;
    Program program;
    Started(const char* name, const std::string& env,
            const std::function<void(const std::string&)>& prepare = [](const std::string&) {})
        : folder(freshFolder(name)), program(installed(folder, env, prepare))
    {
    }
    ~Started()
    {
        program.waitExit(5000);
        removeTree(folder);
    }
    HWND window() { return waitForDialog(program.pid(), kCaption); }

private:
    static std::string installed(const std::string& folder, const std::string& env,
                                 const std::function<void(const std::string&)>& prepare)
    {
        std::string exe = prepareInstallation(folder, kEnv + env);
        prepare(folder);
        return exe;
    }
};

// Client rectangle in screen coordinates and its left part that no button covers.
struct ClientArea {
    RECT screen;
    int width, height, freeWidth;
};

ClientArea clientArea(HWND window)
{
    ClientArea a;
    a.screen = clientOnScreen(window);
    a.width = a.screen.right - a.screen.left;
    a.height = a.screen.bottom - a.screen.top;
    a.freeWidth = a.width;
    for (const Control& c : controlsOf(window))
        if (c.visible)
            a.freeWidth = std::min(a.freeWidth, (int)(c.screen.left - a.screen.left));
    return a;
}

// Compares what the screen shows of the client area with the picture drawn
// 1:1 at x = (H - W) / 2, y = (H - P) / 2 (H the client height), clipped at
// the client edges and at the buttons. Empty when every pixel matches.
std::string pictureMismatch(HWND window, const Picture& p)
{
    ClientArea a = clientArea(window);
    int x0 = (a.height - p.width) / 2, y0 = (a.height - p.height) / 2;
    Capture shot = captureScreen(a.screen);
    if (shot.width != a.width)
        return "no capture";
    int compared = 0;
    for (int y = std::max(0, y0); y < std::min(a.height, y0 + p.height); ++y)
        for (int x = std::max(0, x0); x < std::min(a.freeWidth, x0 + p.width); ++x) {
            const unsigned char* want = &p.bgr[3 * ((size_t)(y - y0) * p.width + (x - x0))];
            const unsigned char* got = shot.pixel(x, y);
            if (memcmp(want, got, 3) != 0)
                return "client pixel " + std::to_string(x) + "," + std::to_string(y) + " differs";
            ++compared;
        }
    return compared ? "" : "nothing to compare";
}

void expectPictureShown(HWND window, const Picture& p)
{
    std::string mismatch;
    waitFor([&] { return (mismatch = pictureMismatch(window, p)).empty(); }, 5000);
    EXPECT_EQ(mismatch, "") << p.width << "x" << p.height;
}

// The window centred, with "アンインストール" and "中止" and, with a readme
// caption set, the readme button between them; the unused slot is gone.
TEST(MainWindow, ButtonsAndCaption)
{
    const struct {
        const char* envLine;
        const char* readmeCaption;  // null: two buttons
    } cases[] = {
        {"", nullptr},
        {"INSTREADME -x\r\n", nullptr},
        {"INSTREADME お読み|ください\r\n", "お読み ください"},
    };
    for (const auto& c : cases) {
        Started started("layout", c.envLine);
        HWND window = started.window();
        ASSERT_TRUE(window) << c.envLine;
        RECT w;
        GetWindowRect(window, &w);
        EXPECT_EQ(w.left, (GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) / 2) << "centred";
        EXPECT_EQ(w.top, (GetSystemMetrics(SM_CYSCREEN) - (w.bottom - w.top)) / 2) << "centred";

        std::vector<std::pair<int, std::string>> shown = {{1001, "アンインストール"}, {1000, "中止"}};
        if (c.readmeCaption)
            shown = {{1002, "アンインストール"}, {1001, c.readmeCaption}, {1000, "中止"}};
        std::vector<Control> controls = controlsOf(window);
        EXPECT_EQ(controls.size(), shown.size()) << c.envLine;
        for (const auto& [id, text] : shown) {
            const Control* b = findControl(controls, id);
            ASSERT_NE(b, nullptr) << id << " " << c.envLine;
            EXPECT_EQ(b->text, text);
            EXPECT_TRUE(b->visible);
        }
        // Enter and Escape, which the dialog manager turns into IDOK and
        // IDCANCEL, do nothing; "中止" and the close box end with 0.
        postKey(window, VK_RETURN);
        postKey(window, VK_ESCAPE);
        EXPECT_EQ(started.program.waitExit(500), STILL_ACTIVE) << "Enter or Escape ended the window";
        if (c.readmeCaption)
            pressButton(window, 1000);
        else
            postCloseBox(window);
        EXPECT_EQ(started.program.waitExit(), 0u);
    }
}

// The picture at 1:1, offsets from the client height, the top row at the
// top: an odd width (rows padded in memory) with a name to pass over, a
// picture taller and one wider than the client is high (negative offsets,
// clipped at the client edge).
TEST(MainWindow, DrawsThePicture)
{
    const int sizes[][2] = {{201, 173}, {101, 701}, {501, 61}};
    for (const auto& size : sizes) {
        Picture p = makePicture(size[0], size[1], size[0] == 201 ? "タイトル画像" : nullptr);
        Started started("picture", "INSTREADME お読みください\r\n",
                        [&](const std::string& folder) { writeFile(folder + "\\insttscr.rct", p.file); });
        HWND window = started.window();
        ASSERT_TRUE(window);
        expectPictureShown(window, p);
        postCloseBox(window);
        EXPECT_EQ(started.program.waitExit(), 0u);
    }
}

// A file that is not a picture shows none and no box; the window works.
TEST(MainWindow, NoPictureFromAFileThatIsNotOne)
{
    Started started("notpicture", "", [](const std::string& folder) {
        writeFile(folder + "\\insttscr.rct", "\x98\x5A\x92\x9A" "TC02 not a picture at all");
    });
    HWND window = started.window();
    ASSERT_TRUE(window);
    EXPECT_EQ(dialogsOf(started.program.pid()).size(), 1u);
    Sleep(300);
    ClientArea a = clientArea(window);
    Capture shot = captureScreen(a.screen);
    int differing = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < a.freeWidth; ++x)
            differing += memcmp(shot.pixel(x, y), shot.pixel(0, 0), 3) != 0;
    EXPECT_EQ(differing, 0) << "only the dialog's background left of the buttons";
    pressButton(window, 1000);
    EXPECT_EQ(started.program.waitExit(), 0u);
}

// A missing picture asks with Retry and Cancel: Retry after the file is back
// opens the window with it, Cancel ends the program with -1.
TEST(MainWindow, MissingPictureRetryOrCancel)
{
    for (bool retry : {true, false}) {
        Started started("nopicture", "",
                        [](const std::string& folder) { DeleteFileA((folder + "\\insttscr.rct").c_str()); });
        Program& program = started.program;
        HWND box = waitForDialog(program.pid());
        ASSERT_TRUE(box);
        EXPECT_EQ(messageBoxText(box), "Ffopen : ファイル[insttscr.rct]の読み込みで失敗しました");
        EXPECT_EQ(windowText(box), kCaption);
        EXPECT_EQ(messageBoxButtons(box), (std::vector<int>{IDRETRY, IDCANCEL}));
        if (!retry) {
            pressButton(box, IDCANCEL);
            EXPECT_EQ(program.waitExit(), 0xFFFFFFFFu);
        } else {
            Picture p = makePicture(45, 33);
            writeFile(started.folder + "\\insttscr.rct", p.file);
            pressButton(box, IDRETRY);
            HWND window = waitForDialog(program.pid(), kCaption, 10000, {box});
            ASSERT_TRUE(window);
            expectPictureShown(window, p);
            postCloseBox(window);
            EXPECT_EQ(program.waitExit(), 0u);
        }
    }
}

// The readme button opens INSTREADMEFL, or readme.txt beside the program
// when that key is absent, with the text viewer, on every press, whatever
// folder the program was started from.
TEST(MainWindow, ReadmeButtonOpensTheReadmeFileEachTime)
{
    const struct {
        const char* env;
        const char* file;
    } cases[] = {
        {"INSTREADME 説明\r\n", "readme.txt"},
        {"INSTREADME 説明\r\nINSTREADMEFL 説明書.txt\r\n", "説明書.txt"},
    };
    for (const auto& c : cases) {
        for (HWND old : windowsOfClass("Notepad"))
            endProcessOf(old);
        Started started("readme", c.env,
                        [&](const std::string& folder) { writeFile(folder + "\\" + c.file, c.file); });
        HWND window = started.window();
        ASSERT_TRUE(window);
        for (size_t press = 1; press <= 2; ++press) {
            pressButton(window, 1001);
            EXPECT_TRUE(waitFor([&] { return windowsOfClass("Notepad").size() == press; })) << c.file << press;
        }
        for (HWND viewer : windowsOfClass("Notepad")) {
            EXPECT_NE(windowText(viewer).find(c.file), std::string::npos) << windowText(viewer);
            EXPECT_EQ(windowText(FindWindowExA(viewer, NULL, "Edit", NULL)), c.file);
            endProcessOf(viewer);
        }
        EXPECT_TRUE(started.program.running());
        pressButton(window, 1000);
        EXPECT_EQ(started.program.waitExit(), 0u);
    }
}

// --- the confirmation, reached through "アンインストール" ------------------------

const char kConfirmCaption[] = "アンインストールの確認";
const char kCancelled[] = "アンインストールを中止しました";

// While a nested dialog or box is open, the main window's buttons and close
// request do nothing: the program goes on, with only the main window and
// that one dialog open.
void expectMainWindowIgnores(const Program& program, HWND window, const char* what)
{
    pressButton(window, 1000);
    pressButton(window, 1001);
    postClose(window);
    Sleep(500);
    EXPECT_TRUE(program.running()) << what;
    EXPECT_EQ(dialogsOf(program.pid()).size(), 2u) << what;
}

HWND openConfirmation(HWND window, const Program& program)
{
    pressButton(window, 1001);
    return waitForDialog(program.pid(), kConfirmCaption, 10000, {window});
}

// Every way to cancel, each with the box ticked: the cancel is reported, the
// window stays with its buttons, and the next confirmation starts unticked.
// The folder holds '%' sequences, which the prompt shows unchanged.
TEST(MainWindow, ConfirmationCancelledEveryWayKeepsTheWindow)
{
    Started started("確認%s%d%n", "");
    const std::string& folder = started.folder;
    Program& program = started.program;
    HWND window = started.window();
    ASSERT_TRUE(window);
    enum { CancelButton, EscapeKey, CloseBox };
    for (int way : {CancelButton, EscapeKey, CloseBox}) {
        HWND dialog = openConfirmation(window, program);
        ASSERT_TRUE(dialog) << way;
        std::vector<Control> controls = controlsOf(dialog);
        ASSERT_TRUE(findControl(controls, 1026));
        EXPECT_EQ(findControl(controls, 1026)->text,
                  "フォルダ[" + folder + "]のファイルを削除します。\nよろしいですか？");
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), window);
        EXPECT_FALSE(isChecked(dialog, 1007)) << way << ": a new dialog starts unticked";
        EXPECT_EQ(focusOf(dialog), GetDlgItem(dialog, IDOK));
        RECT r;
        GetWindowRect(dialog, &r);
        EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2) << "centred on the screen";
        EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2) << "centred on the screen";
        if (way == CancelButton)
            expectMainWindowIgnores(program, window, "under the confirmation");

        PostMessageA(GetDlgItem(dialog, 1007), BM_CLICK, 0, 0);
        EXPECT_TRUE(waitFor([&] { return isChecked(dialog, 1007); }));
        if (way == CancelButton)
            pressButton(dialog, IDCANCEL);
        else if (way == EscapeKey)
            postKey(focusOf(dialog), VK_ESCAPE);
        else
            postCloseBox(dialog);
        HWND box = waitForDialog(program.pid(), kCaption, 10000, {window});
        ASSERT_TRUE(box) << way;
        EXPECT_EQ(messageBoxText(box), kCancelled);
        EXPECT_EQ(GetWindow(box, GW_OWNER), window);
        EXPECT_FALSE(IsWindow(dialog));
        if (way == CancelButton)
            expectMainWindowIgnores(program, window, "under the report");
        pressButton(box, IDOK);
        EXPECT_TRUE(waitGone(box));
        ASSERT_TRUE(program.running());
        controls = controlsOf(window);
        EXPECT_EQ(controls.size(), 2u);
        EXPECT_EQ(findControl(controls, 1001)->text, "アンインストール");
        EXPECT_EQ(findControl(controls, 1000)->text, "中止");
    }
    EXPECT_TRUE(exists(folder + "\\insttscr.rct")) << "nothing removed";
    pressButton(window, 1000);
    EXPECT_EQ(program.waitExit(), 0u) << "the window serves its buttons again";
}

// Enter as soon as the confirmation shows presses OK, its default button:
// the uninstall runs to its end.
TEST(MainWindow, EnterRightAfterTheConfirmationOpensConfirms)
{
    Started started("enter", "");
    HWND window = started.window();
    ASSERT_TRUE(window);
    HWND dialog = openConfirmation(window, started.program);
    ASSERT_TRUE(dialog);
    postKey(focusOf(dialog), VK_RETURN);
    HWND box = waitForDialog(started.program.pid(), kCaption, 10000, {window});
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box), "アンインストールを終了します");
    EXPECT_FALSE(exists(started.folder + "\\insttscr.rct"));
    pressButton(box, IDOK);
    EXPECT_EQ(started.program.waitExit(), 0u);
}

}  // namespace
