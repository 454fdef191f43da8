#include <gtest/gtest.h>

#include <string>

// The rules live in the tool's folder; the tool links them on its own.
#include "envcheck/envcheck_rules.cpp"
#include "envcheck/terminal_text.cpp"
#include "native/support/temp_file.h"

using namespace envcheck;

namespace {

std::string sourceRoot()
{
    std::string file = __FILE__;
    return file.substr(0, file.rfind("/tests/native/"));
}

struct RuleCase {
    const char* name;
    std::string content;
    Rule rule;
    int line;
    Severity severity;
};

// One faulty file per rule: the finding must come on that line, with that
// weight. The texts are compiled to Shift-JIS.
const RuleCase kRuleCases[] = {
    {"ctrl-z", "TITLEBAR a\r\n\x1aTITLEBAR b\r\n", RuleCtrlZ, 2, SeverityWarning},
    {"long line", "// c\nTITLEBAR " + std::string(600, 'a') + "\n", RuleLongLine, 2, SeverityWarning},
    {"long entry", "[ini]\n" + std::string(600, 'e') + "\n-\n", RuleLongEntry, 2, SeverityWarning},
    {"long last line", "TITLEBAR x\n// " + std::string(600, 'c'), RuleLongLine, 2, SeverityWarning},
    {"blank before key", "REG_GLOBAL x\n  TITLEBAR Foo\n", RuleBlankBeforeKey, 2, SeverityWarning},
    {"tab before lower-case key", "\tinstfol Soft\n", RuleBlankBeforeKey, 1, SeverityWarning},
    {"lower-case key", "titlebar Foo\n", RuleKeyCase, 1, SeverityWarning},
    {"typo", "TITELBAR Foo\n", RuleKeyTypo, 1, SeverityWarning},
    {"typo with case", "Help_Fil readme.txt\n", RuleKeyTypo, 1, SeverityWarning},
    {"installer's key", "INSTALL_SIZE 100\n", RuleUnusedKey, 1, SeverityInfo},
    {"no value", "TITLEBAR\n", RuleNoValue, 1, SeverityWarning},
    {"value 100 blanks away", "TITLEBAR" + std::string(100, ' ') + "x\n", RuleNoValue, 1, SeverityWarning},
    {"two words", "TITLEBAR My Game\n", RuleValueWords, 1, SeverityWarning},
    {"value over 127", "TITLEBAR " + std::string(126, 'x') + "ア\n", RuleLongValue, 1, SeverityWarning},
    {"duplicate", "TITLEBAR a\nTITLEBAR b\n", RuleDuplicateKey, 2, SeverityWarning},
    {"line 401", repeat("// c\n", 400) + "TITLEBAR x\n", RuleAfterLineLimit, 401, SeverityWarning},
    {"long line read twice", repeat("//\n", 398) + std::string(600, 'x') + "\nTITLEBAR x\n", RuleAfterLineLimit,
     400, SeverityWarning},
    {"after [EOF]", "[EOF]\nTITLEBAR x\n", RuleAfterEofMarker, 2, SeverityWarning},
    {"group '-'", "INST_GROUP -\n", RuleDashNotNone, 1, SeverityWarning},
    {"colon in title", "TITLEBAR A:B\n", RuleBadNameChar, 1, SeverityWarning},
    {"REG_LOCAL missing", "REG_GLOBAL Maker\n", RuleRegisterHalf, 1, SeverityWarning},
    {"no registry names", "TITLEBAR x\n", RuleRegisterDefault, 0, SeverityInfo},
    {"INI_SECTION missing", "INI_FILE a.ini\n", RuleIniSectionMissing, 1, SeverityWarning},
    {"no title", "REG_GLOBAL a\nREG_LOCAL b\n", RuleDefaultTitle, 0, SeverityInfo},
    {"setting in section", "[delfiles]\nTITLEBAR x\n-\n", RuleSettingInSection, 2, SeverityWarning},
    {"hash comment", "# note\n", RuleHashComment, 1, SeverityWarning},
    {"loose pattern", "save\\*.sav\n", RuleLooseLine, 1, SeverityWarning},
    {"header typo", "[DELFILES]\na.txt\n-\n", RuleHeaderTypo, 1, SeverityWarning},
    {"header typo in section", "[delfiles]\n[delfile_user]\n-\n", RuleHeaderTypo, 2, SeverityWarning},
    {"unknown header", "[setup]\nfoo\n-\n", RuleUnknownHeader, 1, SeverityInfo},
    {"section twice", "[delfiles]\na\n-\n[delfiles]\nb\n-\n", RuleSectionRepeated, 4, SeverityWarning},
    {"entry with '-'", "[delfiles]\n-old.dat\nnew.dat\n-\n", RuleDashEntry, 2, SeverityWarning},
    {"indented '-'", "[delfiles]\na\n  -\n-\n", RuleBlankEntry, 3, SeverityWarning},
    {"[EOF] in section", "[delfiles]\n[EOF]\n-\n", RuleEofMarkerEntry, 2, SeverityWarning},
    {"section after EOF", "EOF\n[delfiles]\na\n-\n", RuleSectionAfterEnd, 2, SeverityWarning},
    {"unterminated", "// c\n[delfiles_user]\na\n", RuleUnterminated, 2, SeverityError},
    {"ended by EOF", "[delfiles]\na\nEOF marker\n", RuleUnterminated, 3, SeverityError},
    {"parent folder", "[delfiles]\n..\\*.*\n-\n", RuleRefusedPattern, 2, SeverityError},
    {"drive", "[delfiles_user]\nD:save\\*.*\n-\n", RuleRefusedPattern, 2, SeverityError},
    {"UNC", "[delfiles]\n\\\\server\\share\\*.*\n-\n", RuleRefusedPattern, 2, SeverityError},
    {"blank folder", "[delfiles]\na\\ \\*.*\n-\n", RuleRefusedPattern, 2, SeverityError},
    {"device", "[delfiles]\nsave\\LPT1.txt\n-\n", RuleRefusedPattern, 2, SeverityError},
    {"260 bytes", "[delfiles]\n" + std::string(260, 'p') + "\n-\n", RuleRefusedPattern, 2, SeverityError},
    {"slash", "[delfiles]\nsave/*.sav\n-\n", RuleSlashPattern, 2, SeverityWarning},
    {"outer folder first", "[delfiles]\nman\\*.htm\nman\\img\\*.png\n-\n", RuleFolderKept, 3, SeverityWarning},
    {"outer folder unnamed", "[delfiles_user]\na\\b\\*.sav\n-\n", RuleFolderKept, 2, SeverityWarning},
    {"[reg] unused", "[reg]\nSoftware\\Maker\n-\n", RuleUnusedSection, 1, SeverityInfo},
};

TEST(EnvCheck, EachRuleOnItsLine)
{
    for (const RuleCase& c : kRuleCases) {
        TempFile file(c.content);
        Report report = checkInstallEnv(file.path());
        const Finding* found = nullptr;
        for (const Finding& f : report.findings) {
            if (f.rule == c.rule && f.line == c.line)
                found = &f;
        }
        if (!found) {
            ADD_FAILURE() << c.name << ": no finding of its rule on line " << c.line;
            continue;
        }
        EXPECT_EQ(found->severity, c.severity) << c.name;
        int worst = 0;
        for (const Finding& f : report.findings)
            worst = std::max(worst, (int)f.severity);
        EXPECT_EQ(exitStatus(report), worst) << c.name;
        EXPECT_EQ(exitStatus(report), c.severity) << c.name << ": another finding outweighs it";
    }
}

// Lines that look odd but do what they seem to must not be reported.
TEST(EnvCheck, NoFalseAlarms)
{
    const std::string clean =
        "// comment\n"
        "TITLEBAR\tポ|ソフト\n"           // trail bytes 0x7C and 0x5C
        "INSTFOL " + std::string(127, 'f') + "\n"  // exactly fits
        "REG_GLOBAL a\r\nREG_LOCAL b\r\n"
        "\n"
        "[delfiles]\n"
        "; comment\n"
        "ソフト\\*.*   \t\n"
        "a\\b\\*.dat\n"
        "a\\\\b\\\\\n"  // the same folder, doubled separators and all
        "A\\*.dat\n"  // the outer folder after the inner one, in any case
        "-\n"
        "[delfiles_user] // saves\n"
        "save data\\*.sav\n"
        "save data\\\n"
        "-\n"
        "EOF\n"
        "// free text after the end\n";
    TempFile file(clean);
    Report report = checkInstallEnv(file.path());
    for (const Finding& f : report.findings)
        ADD_FAILURE() << f.line << ": " << f.text;
}

TEST(EnvCheck, SampleInstallEnvIsClean)
{
    std::string path = sourceRoot() + "/examples/install.env";
    Report report = checkInstallEnv(path.c_str());
    for (const Finding& f : report.findings)
        ADD_FAILURE() << f.line << ": " << f.text;
    EXPECT_EQ(exitStatus(report), 0);
}

TEST(EnvCheck, MissingFileIsAnError)
{
    Report report = checkInstallEnv("/nonexistent/install.env");
    ASSERT_EQ(report.findings.size(), 1u);
    EXPECT_EQ(report.findings[0].rule, RuleCannotOpen);
    EXPECT_EQ(exitStatus(report), 2);
    EXPECT_TRUE(report.removal.empty());
}

bool holds(const std::vector<std::string>& lines, const std::string& text)
{
    for (const std::string& line : lines) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

TEST(EnvCheck, SummaryNamesWhatGoes)
{
    TempFile file(
        "TITLEBAR My|Game\nINST_GROUP Soft\nREG_GLOBAL Maker\nREG_LOCAL Game\nHELP_FILE help.chm\n"
        "INI_FILE game.ini\nINI_SECTION Game\n[delfiles]\nsave\\*.tmp\n..\\x\n-\n");
    const std::vector<std::string> lines = checkInstallEnv(file.path()).removal;
    for (const char* expected : {"install.arc", "*.gid", "then the folder save when empty",
                                 "refused, never swept", "HKCU\\Software\\Maker\\Game", "HKLM\\Software\\Maker\\Game",
                                 "Uninstall\\ZiVizMy Game", "Programs\\Soft\\My Game\\My Game お読みください.LNK",
                                 "Programs\\Soft\\My Game\\My Game アンインストール.LNK", "Desktop\\My Game.LNK",
                                 "game.ini: the section [Game]"})
        EXPECT_TRUE(holds(lines, expected)) << expected;

    TempFile bare("INSTREADMEFL -\n");
    const std::vector<std::string> defaults = checkInstallEnv(bare.path()).removal;
    EXPECT_TRUE(holds(defaults, "HKCU\\Software\\-\\-"));
    EXPECT_TRUE(holds(defaults, "Programs\\ＴＡＶＥＬＯ アプリケーション\\ＴＡＶＥＬＯ アプリケーション.LNK"));
    EXPECT_FALSE(holds(defaults, "お読みください"));
    EXPECT_TRUE(holds(defaults, "INI file: none"));
}

// The file's texts reach the terminal in its locale's character set; the
// Shift-JIS family and the C locale get the bytes unchanged.
TEST(EnvCheck, TextsInTheTerminalsCharacterSet)
{
    const std::string title = "星見の丘";  // compiled to Shift-JIS
    const struct {
        const char* charset;
        std::string text, printed;
    } cases[] = {
        {"UTF-8", title, u8"星見の丘"},
        {"EUC-JP", title, "\xC0\xB1\xB8\xAB\xA4\xCE\xB5\xD6"},
        {"WINDOWS-31J", title, title},
        {"SHIFT_JIS", title, title},
        {"ANSI_X3.4-1968", title, title},
        // Broken characters, and one the character set lacks, become '?'.
        {"UTF-8", "a\x82 b\xFF\x82", u8"a? b??"},
        {"ISO-8859-1", "xの\xE9", "x??"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toCharset(c.text, c.charset), c.printed) << c.charset;

    // As the tool runs: LC_ALL=C.UTF-8 prints the title readably.
    ASSERT_EQ(setenv("LC_ALL", "C.UTF-8", 1), 0);
    TempFile file("TITLEBAR 星見の丘\n");
    Report report = checkInstallEnv(file.path());
    convertForTerminal(report);
    EXPECT_TRUE(holds(report.removal, u8"星見の丘 アンインストール"));
    unsetenv("LC_ALL");
    setlocale(LC_CTYPE, "C");
}

}  // namespace
