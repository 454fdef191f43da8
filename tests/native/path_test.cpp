#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "uninstall/path.h"
#include "uninstall/removal_pattern.h"
#include "native/long_name_rules.h"

// In code page 932: ソ 83 5C and 表 95 5C end in a '\' byte; 亜 88 9F ends
// in a lead-byte value; ャ 83 83 is two lead-byte values; ブ 83 75 ends in 'u'.
namespace {

TEST(Path, LastSeparatorAndTrailingSeparator)
{
    const char* path = "C:\\ソ\\表";
    EXPECT_EQ(findLastSeparator(path), path + 5);
    EXPECT_EQ(findLastSeparator("表ソ"), nullptr);

    const struct {
        const char* path;
        const char* result;
    } cases[] = {
        {"C:\\Games", "C:\\Games\\"},
        {"C:\\Games\\", "C:\\Games\\"},
        {"C:\\ソ", "C:\\ソ\\"},
        // Only the byte before the last is looked at: 亜's trail byte is a
        // lead-byte value, so the real '\' behind it is doubled.
        {"C:\\亜\\", "C:\\亜\\\\"},
        // The ends of the fixed lead-byte ranges: 歃 9F 5C and 濬 E0 5C end in
        // a trail byte 0x5C; ﾟ DF is a character of its own.
        {"C:\\歃", "C:\\歃\\"},
        {"C:\\濬", "C:\\濬\\"},
        {"C:\\ﾟ\\", "C:\\ﾟ\\"},
        {"C:\\\x81\\", "C:\\\x81\\\\"}, {"C:\\\xFC\\", "C:\\\xFC\\\\"},  // lead bytes
        {"C:\\\x80\\", "C:\\\x80\\"}, {"C:\\\xA0\\", "C:\\\xA0\\"}, {"C:\\\xFD\\", "C:\\\xFD\\"},  // none
        {"ソ", "ソ\\"}, {"\\", "\\"}, {"", "\\"},
    };
    for (const auto& c : cases) {
        char buffer[MAX_PATH_BYTES];
        strcpy(buffer, c.path);
        EXPECT_STREQ(addTrailingSeparator(buffer), c.result) << c.path;
    }
}

// A text that would not fit is not appended at all (a long group and
// title under the Start menu, a pattern below a deep folder).
TEST(Path, AppendTextStaysInItsBuffer)
{
    char buffer[8] = "abc";
    EXPECT_EQ(appendText(buffer, sizeof buffer, "defg"), 0);
    EXPECT_EQ(appendText(buffer, sizeof buffer, "h"), -1);
    EXPECT_STREQ(buffer, "abcdefg");
}

// The folder of a path: a drive root keeps its '\\'; a trail byte 0x5C is
// no separator; without a separator, or with only a leading one, nothing
// is cut.
TEST(Path, FolderCut)
{
    const struct {
        const char* path;
        const char* folder;  // nullptr: left unchanged, -1
    } cases[] = {
        {"C:\\Games\\Title\\uninst.exe", "C:\\Games\\Title"},
        {"C:\\uninst.exe", "C:\\"},
        {"C:\\Games\\ソ\\uninst.exe", "C:\\Games\\ソ"},
        {"C:\\Games\\表.exe", "C:\\Games"},
        {"\\uninst.exe", nullptr},
        {"uninst.exe", nullptr},
    };
    for (const auto& c : cases) {
        char buffer[MAX_PATH_BYTES];
        strcpy(buffer, c.path);
        EXPECT_EQ(cutAtLastSeparator(buffer), c.folder ? 0 : -1) << c.path;
        EXPECT_STREQ(buffer, c.folder ? c.folder : c.path);
    }
}

TEST(Path, RemovalPatternRecord)
{
    const struct {
        const char *entry, *path, *name, *folder;
    } swept[] = {
        {"*.gid", "*.gid", "*.gid", ""},
        {"save\\*.sav", "save\\*.sav", "*.sav", "save"},
        {"a\\b\\*.*", "a\\b\\*.*", "*.*", "a\\b"},
        {"save\\", "save\\", "", "save"},  // names the folder only
        {"a\\\\b\\\\", "a\\b\\", "", "a\\b"},
        {"a//b\\/c", "a/b\\c", "c", "a/b"},  // a '/' marks no folder to remove
        {"save/*.sav", "save/*.sav", "*.sav", ""},
        {"ソ\\\\表", "ソ\\表", "表", "ソ"},  // trail bytes 0x5C are no separators
        {"ャ\\x", "ャ\\x", "x", "ャ"},
        {"　\\ァ.sav", "　\\ァ.sav", "ァ.sav", "　"},  // trail byte 0x40: 81 40 and 83 40
        {".hidden", ".hidden", ".hidden", ""},
        {"a..\\ b", "a..\\ b", " b", "a.."},
        {"ソ..", "ソ..", "ソ..", ""},  // one part: a splitter that took the trail byte for a '\\' would see ".."
        {"console.txt", "console.txt", "console.txt", ""},
        {"com0\\lpt10\\con*", "com0\\lpt10\\con*", "con*", "com0\\lpt10"},
        {"cxn\\xon\\coma", "cxn\\xon\\coma", "coma", "cxn\\xon"},
    };
    for (const auto& c : swept) {
        RemovalPattern pattern;
        EXPECT_EQ(readRemovalPattern(c.entry, &pattern), 0) << c.entry;
        EXPECT_EQ(pattern.verdict, PatternSwept) << c.entry;
        EXPECT_STREQ(pattern.path, c.path) << c.entry;
        EXPECT_STREQ(pattern.name, c.name) << c.entry;
        EXPECT_STREQ(pattern.folder, c.folder) << c.entry;
    }
    RemovalPattern longest;
    EXPECT_EQ(readRemovalPattern(std::string(259, 'a').c_str(), &longest), 0);

    const struct {
        std::string entry;
        PatternVerdict verdict;
    } refused[] = {
        {"", PatternDotsOnly}, {"..", PatternDotsOnly}, {"..\\x", PatternDotsOnly},
        {"a\\..\\..\\x", PatternDotsOnly}, {"save\\..", PatternDotsOnly}, {"表\\..", PatternDotsOnly},
        {"a/../b", PatternDotsOnly}, {".\\x", PatternDotsOnly}, {"...", PatternDotsOnly},
        {". .\\x", PatternDotsOnly}, {"a\\ \\b", PatternDotsOnly}, {"a\\\\..\\x", PatternDotsOnly},
        {"C:\\x", PatternColon}, {"C:x", PatternColon}, {"a:b", PatternColon}, {"file.txt:stream", PatternColon},
        {"\\x", PatternRooted}, {"/x", PatternRooted}, {"\\\\server\\share\\x", PatternRooted},
        {"a\x83", PatternBrokenCharacter},       // a lead byte cut off at the end
        {"a\x83?", PatternBrokenCharacter},      // no trail byte is below 0x40
        {"\x83..\\x", PatternBrokenCharacter},  // a lead byte in front of a dot is no character
        {std::string(260, 'a'), PatternTooLong},
        {"CON", PatternDeviceName}, {"nul", PatternDeviceName}, {"LPT1.txt", PatternDeviceName},
        {"con ", PatternDeviceName}, {"Aux .log.bak", PatternDeviceName}, {"save\\com9.sav", PatternDeviceName},
        {"prn\\*.*", PatternDeviceName}, {"a\\Lpt9\\", PatternDeviceName},
    };
    for (const auto& c : refused) {
        RemovalPattern pattern;
        memset(&pattern, 'x', sizeof pattern);
        EXPECT_EQ(readRemovalPattern(c.entry.c_str(), &pattern), -1) << c.entry;
        EXPECT_EQ(pattern.verdict, c.verdict) << c.entry;
        for (const char* part : {pattern.path, pattern.name, pattern.folder})
            EXPECT_STREQ(part, "") << c.entry;
    }
}

TEST(Path, LongNameRules)
{
    for (const LongNameRule& c : kLongNameRules)
        EXPECT_EQ(matchesLongName(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
    // No name matches a pattern too long to be one, or one of dots and blanks.
    EXPECT_FALSE(matchesLongName(std::string(MAX_PATH_BYTES, '*').c_str(), "a"));
    EXPECT_FALSE(matchesLongName(". .", "."));
}

TEST(Path, PlainFoundNames)
{
    for (const char* name : {"a.txt", ".profile", " a", "a b.c", "ソ表.txt", "ポ", "x~1.dat"})
        EXPECT_TRUE(isPlainFileName(name)) << name;
    // As a best-fit conversion hands them back: a yen sign as '\\', an
    // unknown character as '?'.
    for (const char* name : {"", "y\\keep.txt", "x\\..\\..\\victim.txt", "a/b", "a:b", "a?.txt", "a*",
                             "a\"b", "a<b", "a>b", "a|b", "a\tb", "a\x1f", "..", ". .", "a.", "a ", "a\x83"})
        EXPECT_FALSE(isPlainFileName(name)) << name;
}

TEST(Path, ReparseFoldersEntered)
{
    const struct {
        unsigned long tag;
        bool entered;
    } cases[] = {
        {0xA0000003, false},  // mount point, junction
        {0xA000000C, false},  // symbolic link
        {0xA000001D, false},  // WSL symbolic link
        {0x9000001A, true},   // cloud file placeholder
        {0x9000301A, true},   // the same, as OneDrive sets it
        {0x80000013, true},   // deduplicated
        {0x8000001B, true},   // app execution alias
        {0, false},           // reserved: no reparse point carries them, so a
        {1, false},           // record that was never filled in says 0
        {2, false},
        {3, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(entersReparseFolder(c.tag), c.entered) << std::hex << c.tag;
}

TEST(Path, InstFolderParent)
{
    const struct {
        const char *folder, *instFolder, *parent;
        int result;
    } cases[] = {
        {"D:\\Games\\Soft\\Title", "Soft", "D:\\Games\\Soft", 0},
        {"D:\\Soft\\Title", "Soft", "D:\\Soft", 0},
        {"D:\\ソフト\\Title", "ソフト", "D:\\ソフト", 0},
        {"D:\\Games\\MySoft\\Title", "Soft", "D:\\Games\\MySoft", -1},
        {"D:\\Games\\soft\\Title", "Soft", "D:\\Games\\soft", -1},
        {"\\Soft\\Title", "Soft", "\\Soft", -1},  // as long as the suffix
        {"X\\Soft\\Title", "Soft", "X\\Soft", 0},
        {"D:\\Title", "Title", "D:", -1},
        {"Title", "Title", "Title", -1},
        {"D:\\表Soft\\Title", "Soft", "D:\\表Soft", -1},  // that '\' is 表's trail byte
    };
    for (const auto& c : cases) {
        char parent[MAX_PATH_BYTES];
        EXPECT_EQ(matchInstFolderParent(parent, c.folder, c.instFolder), c.result) << c.folder;
        EXPECT_STREQ(parent, c.parent) << c.folder;
    }
    char parent[MAX_PATH_BYTES] = "junk";
    EXPECT_EQ(matchInstFolderParent(parent, "D:\\Games\\Soft\\Title", ""), -1);
    EXPECT_STREQ(parent, "");
    EXPECT_EQ(matchInstFolderParent(parent, std::string(MAX_PATH_BYTES, 'a').c_str(), "a"), -1);
}

TEST(Path, LeftoverUserFile)
{
    EXPECT_FALSE(isUserFileName("UnInst.exe"));
    EXPECT_FALSE(isUserFileName("uninst.exe.bak"));
    EXPECT_FALSE(isUserFileName("ソMYUNINST.EXE"));
    EXPECT_TRUE(isUserFileName("save.dat"));
    EXPECT_TRUE(isUserFileName("uninst.ex"));
    EXPECT_TRUE(isUserFileName("ソ.dat"));
    EXPECT_TRUE(isUserFileName("ブninst.exe"));  // its 'u' is a trail byte
    EXPECT_TRUE(isUserFileName(std::string(600, 'a').c_str()));
}

}  // namespace
