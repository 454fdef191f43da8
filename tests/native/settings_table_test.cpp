#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "env/settings_keys.h"
#include "env/settings_table.h"
#include "native/support/temp_file.h"
#include "resfile/resource_opener.h"

namespace {

const char kAbsent[] = "<absent>";

std::string lookup(const char* key, size_t capacity = 128)
{
    char buffer[600];
    return lookupSetting(key, buffer, capacity, kAbsent);
}

class SettingsTable : public ::testing::Test {
protected:
    void SetUp() override { setPlainPathsAllowed(1); }
    void TearDown() override
    {
        releaseSettingsTable();
        resetSettingsKeysCache();
    }
    void load(const std::string& content)
    {
        TempFile file(content);
        ASSERT_EQ(readSettingsTable(file.path()), 0);
    }
};

struct LineCase {
    std::string content;
    const char* key;
    std::string expected;  // kAbsent: no entry
};

// The file text is Shift-JIS: the literals are compiled to code page 932.
const LineCase kLineCases[] = {
    {"KEY" + std::string(99, ' ') + "value\n", "KEY", "value"},
    {"KEY" + std::string(100, ' ') + "value\n", "KEY", kAbsent},
    {"KEY" + repeat("\t\x01\x1f", 33) + "value\n", "KEY", "value"},
    {"REG_GLOBAL  first  second\n", "REG_GLOBAL", "first"},
    {"TITLEBAR\tMy|Big|Game\n", "TITLEBAR", "My Big Game"},
    {"TITLEBAR ポ|ポ\n", "TITLEBAR", "ポ ポ"},
    {"TITLEBAR first\nTITLEBAR second\n", "TITLEBAR", "first"},
    {"TITLEBAR value\n", "titlebar", kAbsent},
    {";KEY value\n", ";KEY", "value"},
    {";KEY value\n", "KEY", kAbsent},
    {"TITLEBARX a\nTITLEBAR b\n", "TITLEBAR", "b"},
    {"KEY a!b\n", "KEY", "a!b"},  // blanks and control characters end a word, '!' does not
    // Skipped lines: read, they would give the keys "" and "/KEY".
    {" KEY value\n\tKEY value\n", "", kAbsent},
    {"/KEY value\n//KEY value\n", "/KEY", kAbsent},
    {"KEY\nKEY   \n", "KEY", kAbsent},
    {"[delfiles]\nsave *.tmp\n-\n", "save", "*.tmp"},
    {"A 1\n[EOF]\nKEY value\n", "KEY", kAbsent},
    {"[EOF]trailing\nKEY value\n", "KEY", kAbsent},
    {"[EOFX\nKEY value\n", "KEY", "value"},
    {" [EOF]\nKEY value\n", "KEY", "value"},
    {"KEY value\r\nNEXT second\r\n", "NEXT", "second"},
    {"KEY value\rNEXT second\r", "NEXT", kAbsent},  // CR alone ends no line
    {std::string("KEY\0value\n", 10), "KEY", "value"},
    {std::string("\0KEY value\n", 11), "KEY", kAbsent},
    // A 511-byte piece without a separator, then the rest of the line.
    {"A" + std::string(510, 'a') + "KEY value\n", "KEY", "value"},
    {"KEY " + std::string(507, 'v') + "tail\n", "KEY", std::string(507, 'v')},
    // Line 400 is read; the 401st is not, skipped lines and pieces counted.
    {repeat("//\n", 399) + "KEY value\n", "KEY", "value"},
    {repeat("\n", 400) + "KEY value\n", "KEY", kAbsent},
    {repeat("//\n", 397) + std::string(600, 'x') + "\nKEY value\n", "KEY", "value"},
    {repeat("//\n", 398) + std::string(600, 'x') + "\nKEY value\n", "KEY", kAbsent},
    {repeat("K v\n", 100000) + "KEY value\n", "KEY", kAbsent},
    {"", "KEY", kAbsent},
};

TEST_F(SettingsTable, LineFormat)
{
    for (const LineCase& c : kLineCases) {
        load(c.content);
        EXPECT_EQ(lookup(c.key, 600), c.expected) << c.content.substr(0, 40);
        releaseSettingsTable();
    }
}

TEST_F(SettingsTable, LookupCutsToCapacity)
{
    const std::string value(200, 'v');
    int files = openDescriptors();
    load("KEY " + value + "\nSJIS aア\n");
    EXPECT_EQ(openDescriptors(), files) << "the file stays open";
    EXPECT_EQ(lookup("KEY", 128), value.substr(0, 127));
    EXPECT_EQ(lookup("KEY", 201), value);
    EXPECT_EQ(lookup("SJIS", 3), "a\x83");  // the cut counts bytes
}

TEST_F(SettingsTable, UnreadableFileEndsTheProcess)
{
    EXPECT_EXIT(readSettingsTable("/nonexistent/install.env"), ::testing::ExitedWithCode(255), "install.env");
}

TEST_F(SettingsTable, KeyDefaults)
{
    load("INI_FILE game.ini\nINST_GROUP -\n");
    EXPECT_STREQ(settingTitle(), "ＴＡＶＥＬＯ アプリケーション");
    EXPECT_STREQ(uninstallTitle(), "ＴＡＶＥＬＯ アプリケーション アンインストール");
    EXPECT_STREQ(settingRegGlobal(), "-");
    EXPECT_STREQ(settingRegLocal(), "-");
    EXPECT_STREQ(settingIniFile(), "game.ini");
    EXPECT_STREQ(settingIniSection(), "-");
    EXPECT_STREQ(settingInstGroup(), "-");  // a folder named "-", not none
    EXPECT_EQ(settingInstFolder(), nullptr);
}

TEST_F(SettingsTable, KeyValues)
{
    const std::string longTitle(150, 't');
    load("TITLEBAR My|Game\nINSTFOL ゲーム\nREG_GLOBAL Maker\n");
    EXPECT_STREQ(settingTitle(), "My Game");
    EXPECT_STREQ(titleFolderName(), "My Game");
    EXPECT_STREQ(uninstallTitle(), "My Game アンインストール");
    EXPECT_STREQ(settingInstFolder(), "ゲーム");
    EXPECT_STREQ(settingRegGlobal(), "Maker");
    releaseSettingsTable();

    load("TITLEBAR " + longTitle + "\n");
    EXPECT_EQ(std::string(settingTitle()), longTitle.substr(0, 127));
    EXPECT_EQ(std::string(uninstallTitle()), longTitle.substr(0, 127) + " アンインストール");
}

}  // namespace
