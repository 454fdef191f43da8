// Registry cleanup against the real registry, under a private key
// HKCU\Software\uninst-test-eng; a sibling sentinel key must never change.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include "shell/report_win.h"
#include "uninstall/registry_win.h"
#include "uninstall/uninstall_procedure.h"
#include "win/engine_support.h"

using namespace harness;

namespace {

const char kFirst[] = "uninst-test-eng";
const std::string kTree = std::string("Software\\") + kFirst;
const std::string kSentinel = kTree + "-sentinel";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class Registry : public testing::Test {
protected:
    void SetUp() override
    {
        deleteRegistryTree(HKEY_CURRENT_USER, kTree);
        setRegistryValue(HKEY_CURRENT_USER, kSentinel + "\\App\\sub", "sentinel");
        sentinel_ = registryInventory(HKEY_CURRENT_USER, kSentinel);
    }
    void TearDown() override
    {
        EXPECT_EQ(registryInventory(HKEY_CURRENT_USER, kSentinel), sentinel_);
        deleteRegistryTree(HKEY_CURRENT_USER, kTree);
        deleteRegistryTree(HKEY_CURRENT_USER, kSentinel);
        machineRootKey = HKEY_LOCAL_MACHINE;
    }
    Inventory sentinel_;
};

TEST_F(Registry, TreeGoesAndTheFirstLevelKeyWhenNothingElseIsLeft)
{
    struct Case {
        const char* what;
        std::vector<std::string> otherKeys;  // below the first-level key; "" is a value on it
        int result;
        Inventory left;  // below the first-level key; empty: the key is gone
    };
    const Case cases[] = {
        {"only the tree", {}, 0, {}},
        {"another application's key", {"Other\\deep"}, 0, {"Other\\", "Other\\deep\\", "Other\\deep\\=v"}},
        {"a value of its own", {""}, 0, {"=v"}},
    };
    for (const Case& c : cases) {
        deleteRegistryTree(HKEY_CURRENT_USER, kTree);
        setRegistryValue(HKEY_CURRENT_USER, kTree + "\\App", "top");
        setRegistryValue(HKEY_CURRENT_USER, kTree + "\\App\\a\\b\\c", "deep");
        setRegistryValue(HKEY_CURRENT_USER, kTree + "\\App\\a", "mid");
        setRegistryValue(HKEY_CURRENT_USER, kTree + "\\App\\a\\b2");
        for (const std::string& other : c.otherKeys)
            setRegistryValue(HKEY_CURRENT_USER, other.empty() ? kTree : kTree + "\\" + other);
        EXPECT_EQ(removeUserRegistryTree(kFirst, "App"), c.result) << c.what;
        EXPECT_EQ(registryInventory(HKEY_CURRENT_USER, kTree), c.left) << c.what;
        EXPECT_EQ(registryKeyExists(HKEY_CURRENT_USER, kTree), !c.left.empty()) << c.what;
        // Called again, it finds nothing more to remove.
        removeUserRegistryTree(kFirst, "App");
        EXPECT_EQ(registryInventory(HKEY_CURRENT_USER, kTree), c.left) << c.what;
    }
}

TEST_F(Registry, FirstLevelKeyWithoutTheTreeOrMissing)
{
    setRegistryValue(HKEY_CURRENT_USER, kTree, nullptr);
    EXPECT_EQ(removeUserRegistryTree(kFirst, "App"), 0);
    EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, kTree));
    EXPECT_EQ(removeUserRegistryTree(kFirst, "App"), -1);
    // A name that would resolve to Software itself reaches nothing.
    EXPECT_EQ(removeUserRegistryTree("\\", kFirst), -1);
    EXPECT_EQ(removeUserRegistryTree("", kFirst), -1);
}

// Thousands of subkeys, and names whose Shift-JIS bytes outnumber the
// characters of the longest name (up to the registry's 255 characters).
TEST_F(Registry, DeletesWideAndLongNamedTrees)
{
    HKEY app;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (kTree + "\\App").c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                              &app, NULL), 0);
    for (int i = 0; i < 3000; ++i) {
        char name[32];
        sprintf(name, "key%04d", i);
        HKEY key;
        RegCreateKeyExA(app, name, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
        RegCloseKey(key);
    }
    std::string so;
    for (int i = 0; i < 255; ++i)
        so += "ソ";
    for (const std::string& name : {so, so.substr(0, 20) + "表", std::string("表示"), std::string("ab")}) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(app, name.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL), 0);
        RegCloseKey(key);
        setRegistryValue(app, name + "\\ソ\\表");
    }
    RegCloseKey(app);
    EXPECT_EQ(removeUserRegistryTree(kFirst, "App"), 0);
    EXPECT_FALSE(registryKeyExists(HKEY_CURRENT_USER, kTree));
}

TEST_F(Registry, DeleteKeyTreeTouchesNothingButTheNamedSubkey)
{
    setRegistryValue(HKEY_CURRENT_USER, kTree + "\\App");
    HKEY tree;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTree.c_str(), 0, KEY_ALL_ACCESS, &tree), 0);
    for (const char* name : {"", "\\", "\\\\", "missing"})
        EXPECT_EQ(deleteKeyTree(tree, name), 0) << name;
    EXPECT_EQ(registryInventory(HKEY_CURRENT_USER, kTree), (Inventory{"App\\", "App\\=v"}));
    EXPECT_EQ(deleteKeyTree(tree, "App"), 1);
    RegCloseKey(tree);
    EXPECT_TRUE(registryKeyExists(HKEY_CURRENT_USER, kTree));
}

// Answers each box this thread shows with Cancel (which would also cancel a
// confirmation), keeping its text.
std::vector<std::string> g_boxes;
LRESULT CALLBACK cancelBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    char className[16] = "";
    GetClassNameA((HWND)wParam, className, sizeof className);
    if (code == HCBT_ACTIVATE && strcmp(className, "#32770") == 0) {
        g_boxes.push_back(messageBoxText((HWND)wParam));
        PostMessageA((HWND)wParam, WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST_F(Registry, ProbeCreatesTheMachineKeyOrReportsNoRights)
{
    std::string probe = kTree + "\\Probe";
    EXPECT_EQ(probeMachineKeyAccess(kFirst, "Probe"), 0);
    EXPECT_TRUE(registryKeyExists(HKEY_LOCAL_MACHINE, probe));
    EXPECT_EQ(probeMachineKeyAccess(kFirst, "Probe"), 0) << "an existing key";
    deleteRegistryTree(HKEY_LOCAL_MACHINE, kTree);

    // A root below which nothing can be created, as a limited user meets
    // HKEY_LOCAL_MACHINE: a key deleted while its handle is still open.
    setRegistryValue(HKEY_CURRENT_USER, kTree + "\\Gone", nullptr);
    HKEY gone;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (kTree + "\\Gone").c_str(), 0, KEY_ALL_ACCESS, &gone), 0);
    RegDeleteKeyA(HKEY_CURRENT_USER, (kTree + "\\Gone").c_str());
    machineRootKey = gone;
    ASSERT_EQ(probeMachineKeyAccess(kFirst, "Probe"), -1) << "the uninstall below must stop at once";

    // The uninstall stops there with its message, and removes nothing.
    useSettings("REG_GLOBAL\tuninst-test-eng\r\nREG_LOCAL\tApp\r\n");
    setRegistryValue(HKEY_CURRENT_USER, kTree + "\\App");
    HHOOK hook = SetWindowsHookExA(WH_CBT, cancelBoxes, NULL, GetCurrentThreadId());
    EXPECT_EQ(runUninstall(), -1);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_boxes, std::vector<std::string>{"インストールにはAdministrator権限が必要です。"});
    EXPECT_TRUE(registryKeyExists(HKEY_CURRENT_USER, kTree + "\\App"));
    RegCloseKey(gone);
}

// One deletion, not a tree's: an entry holding a subkey stays. (The end-to-
// end tier shows the entry deleted by the title, blanks and all.)
TEST_F(Registry, UninstallEntryWithASubkeyStays)
{
    useSettings("TITLEBAR\tMy|Game|2\r\n");
    const std::string entry = std::string(kUninstallKey) + "\\ZiVizMy Game 2";
    setRegistryValue(HKEY_LOCAL_MACHINE, entry + "\\sub");
    removeUninstallEntry();
    EXPECT_TRUE(registryKeyExists(HKEY_LOCAL_MACHINE, entry));
    deleteRegistryTree(HKEY_LOCAL_MACHINE, entry);
}

}  // namespace
