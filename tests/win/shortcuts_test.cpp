// Shortcut removal in the all-users programs folder, for the settings the
// end-to-end tier leaves out: the three known shortcuts go, the folders only
// when nothing else is left in them.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "uninstall/shortcuts_win.h"
#include "win/engine_support.h"

using namespace harness;

namespace {

TEST(Shortcuts, RemovesTheKnownShortcutsAndEmptyFolders)
{
    ASSERT_TRUE(isNt6OrLater()) << "Wine poses as a recent Windows";
    const std::string programs = shellFolderPath(CSIDL_COMMON_PROGRAMS);
    const std::string title = "テスト タイトル";
    const std::string group = "ソフト会社\\";
    const std::string inGroup = group + title + "\\" + title;
    const std::string alone = title + "\\" + title;
    struct Case {
        const char* what;
        std::string env;
        std::vector<std::string> made;  // below the programs folder
        Inventory left;
    };
    const Case cases[] = {
        {"no group",
         "INSTREADMEFL\treadme.txt\r\n",
         {alone + ".LNK", alone + " お読みください.LNK", alone + " アンインストール.LNK"},
         {}},
        {"group, and the readme file from HELP_FILE",
         "INST_GROUP\tソフト会社\r\nINSTREADME\t説明書\r\nHELP_FILE\thelp.txt\r\n",
         {inGroup + ".LNK", inGroup + " 説明書.LNK", inGroup + " アンインストール.LNK"},
         {}},
        {"a shortcut of the user's keeps both folders",
         "INST_GROUP\tソフト会社\r\n",
         {inGroup + ".LNK", inGroup + " アンインストール.LNK", group + title + "\\mine.lnk"},
         {group, group + title + "\\", group + title + "\\mine.lnk"}},
        {"another title keeps the group",
         "INST_GROUP\tソフト会社\r\n",
         {inGroup + ".LNK", group + "other\\x.lnk"},
         {group, group + "other\\", group + "other\\x.lnk"}},
        {"no readme file: its shortcut stays",
         "INSTREADMEFL\t-\r\nHELP_FILE\thelp.txt\r\n",
         {alone + ".LNK", alone + " お読みください.LNK"},
         {title + "\\", alone + " お読みください.LNK"}},
        {"neither readme key", "", {alone + " お読みください.LNK"}, {title + "\\", alone + " お読みください.LNK"}},
    };
    for (const Case& c : cases) {
        useSettings("TITLEBAR\tテスト|タイトル\r\n" + c.env);
        Inventory before = fileInventory(programs);
        for (const std::string& path : c.made)
            makePath(programs + "\\" + path);
        removeProgramShortcuts();
        EXPECT_EQ(minus(fileInventory(programs), before), c.left) << c.what;
        removeTree(programs + "\\" + group);
        removeTree(programs + "\\" + title);
    }
}

}  // namespace
