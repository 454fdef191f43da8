#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "env/removal_lists.h"
#include "native/support/temp_file.h"

namespace {

using Lines = std::vector<std::string>;

Lines entries(const RemovalEntry* list)
{
    Lines out;
    for (; list; list = list->next)
        out.push_back(list->text);
    return out;
}

void clearAll()
{
    clearRemovalList(&delfilesList);
    clearRemovalList(&delfilesUserList);
    clearRemovalList(&iniList);
    clearRemovalList(&regList);
}

RemovalSection readSections(const std::string& content)
{
    TempFile file(content);
    FILE* stream = fopen(file.path(), "rt");
    RemovalSection open = readRemovalSections(stream);
    fclose(stream);
    return open;
}

// gtest's death-test pattern is a regular expression; the messages hold
// brackets and Shift-JIS bytes, so match them literally.
std::string literal(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (strchr("[](){}.*+?^$|\\", c))
            out += '\\';
        out += c;
    }
    return out;
}

struct ListCase {
    std::string content;
    Lines delfiles, delfilesUser, ini, reg;
    RemovalSection open;
};

const ListCase kListCases[] = {
    {"", {}, {}, {}, {}, SectionNone},
    {"TITLEBAR ゲーム\nREG_GLOBAL Maker\n", {}, {}, {}, {}, SectionNone},
    {"stray\n[delfiles]\nsave\\*.tmp\n;comment\ncache\\*.*\n-\nafter\n",
     {"save\\*.tmp", "cache\\*.*"}, {}, {}, {}, SectionNone},
    {"[delfiles]\na\nb\n[reg]\nkey\n-\n", {"a", "b"}, {}, {}, {"key"}, SectionNone},
    {"[delfiles_user]\n表\\*.sav\t \r\n   \n  -\n//x\n/x\n-x\n",
     {}, {"表\\*.sav", "  -", "/x"}, {}, {}, SectionNone},
    {"[delfiles]\nold\n-\n[delfiles]\nnew\n-\n", {"new"}, {}, {}, {}, SectionNone},
    {"[EOF]\n[ini] ; comment\n[EOF]\n-\n", {}, {}, {"[EOF]"}, {}, SectionNone},
    {"EOF\n[delfiles]\nx\n", {}, {}, {}, {}, SectionNone},
    {"[inifile]\nx\n-\n[delfiles_userx]\ny\n-\n", {}, {}, {}, {}, SectionNone},
    {"[delfiles]\nEOS.dat\n[regedit]\n-\n", {"EOS.dat", "[regedit]"}, {}, {}, {}, SectionNone},
    {"[delfiles]\n" + std::string(600, 'x') + "\n-\n",
     {std::string(511, 'x'), std::string(89, 'x')}, {}, {}, {}, SectionNone},
    {std::string("[reg]\nab\0cd\n-\n", 14), {}, {}, {}, {"ab"}, SectionNone},
    {"[delfiles]\na\nEOFx\n-\n", {"a"}, {}, {}, {}, SectionDelfiles},
    {"[delfiles_user]\n", {}, {}, {}, {}, SectionDelfilesUser},
    {"[ini]\nx\n", {}, {}, {"x"}, {}, SectionIni},
    {"[delfiles]\na\n[reg]\n", {"a"}, {}, {}, {}, SectionReg},
    {"[delfiles]\ra\r-\r", {}, {}, {}, {}, SectionDelfiles},  // CR alone ends no line
};

TEST(RemovalLists, Sections)
{
    for (const ListCase& c : kListCases) {
        EXPECT_EQ(readSections(c.content), c.open) << c.content.substr(0, 40);
        EXPECT_EQ(entries(delfilesList), c.delfiles) << c.content.substr(0, 40);
        EXPECT_EQ(entries(delfilesUserList), c.delfilesUser) << c.content.substr(0, 40);
        EXPECT_EQ(entries(iniList), c.ini) << c.content.substr(0, 40);
        EXPECT_EQ(entries(regList), c.reg) << c.content.substr(0, 40);
        clearAll();
    }
}

TEST(RemovalLists, NoLineLimit)
{
    std::string content = "[delfiles]\n";
    for (int i = 0; i < 100000; ++i)
        content += "f" + std::to_string(i) + "\n";
    TempFile file(content + "-\n");
    int files = openDescriptors();
    readRemovalLists(file.path());
    EXPECT_EQ(openDescriptors(), files) << "the file stays open";
    Lines got = entries(delfilesList);
    ASSERT_EQ(got.size(), 100000u);
    EXPECT_EQ(got.back(), "f99999");
    clearAll();
}

TEST(RemovalLists, Trim)
{
    TempFile file("a b \t\x01\r\n\n");
    FILE* stream = fopen(file.path(), "rt");
    char buffer[4];
    EXPECT_STREQ(readTrimmedLine(buffer, sizeof buffer, stream), "a b");
    EXPECT_STREQ(readTrimmedLine(buffer, sizeof buffer, stream), "");
    EXPECT_EQ(readTrimmedLine(buffer, 1, stream), nullptr);
    fclose(stream);

    // One byte at a time: only blanks and control characters are trimmed.
    TempFile bang("x!");
    stream = fopen(bang.path(), "rt");
    EXPECT_STREQ(readTrimmedLine(buffer, 2, stream), "x");
    EXPECT_STREQ(readTrimmedLine(buffer, 2, stream), "!");
    fclose(stream);
}

TEST(RemovalListsDeathTest, FailuresEndTheProcess)
{
    struct {
        std::string content;
        const char* message;
    } cases[] = {
        {"[delfiles]\na\n", "[設定.env]の[delfiles]が終了していません"},
        {"[delfiles_user]\nEOF\n", "[設定.env]の[delfiles_user]が終了していません"},
        {"[ini]\n[EOF]\n", "[設定.env]の[ini]が終了していません"},
        {"[reg]\n", "[設定.env]の[reg]が終了していません"},
    };
    for (const auto& c : cases) {
        TempFile file(c.content);
        EXPECT_EXIT(readRemovalLists(file.path()), ::testing::ExitedWithCode(255), literal(c.message));
    }
    EXPECT_EXIT(readRemovalLists("/nonexistent/install.env"), ::testing::ExitedWithCode(255),
                literal("[/nonexistent/install.env]ファイルを開けませんでした。"));
}

}  // namespace
