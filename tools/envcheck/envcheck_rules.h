// The checks behind envcheck: what the uninstaller would silently skip, cut
// or refuse in an install.env, and what an uninstall with it would remove.
#pragma once
#include <stdio.h>

#include <string>
#include <vector>

namespace envcheck {

enum Severity { SeverityInfo, SeverityWarning, SeverityError };

// One rule per kind of finding, so that tests can ask for exactly one.
enum Rule {
    RuleCannotOpen,        // the file does not open: the program would not start
    RuleCtrlZ,             // text after a Ctrl-Z byte, where text-mode reading ends
    RuleLongLine,          // over 511 bytes: the rest is read as a line of its own
    RuleLongEntry,         // an entry over 511 bytes: the rest is an entry of its own
    RuleBlankBeforeKey,    // a setting behind a leading blank: the line is skipped
    RuleKeyCase,           // a known key in other letter case: never found
    RuleKeyTypo,           // an unknown key close to a known one
    RuleUnusedKey,         // a key the uninstaller never asks for (the installer may)
    RuleNoValue,           // a known key without a value within 99 blanks
    RuleValueWords,        // more words after the value: only the first counts
    RuleLongValue,         // a value longer than the program's buffer: cut
    RuleDuplicateKey,      // the key again: the first one wins
    RuleAfterLineLimit,    // a setting behind the 400th line read
    RuleAfterEofMarker,    // a setting behind "[EOF]"
    RuleDashNotNone,       // INST_GROUP or INSTFOL "-": a folder named "-", not none
    RuleBadNameChar,       // a title or folder name holding \ / : * ? " < >
    RuleRegisterHalf,      // only one of REG_GLOBAL and REG_LOCAL
    RuleRegisterDefault,   // neither: keys named "-"
    RuleIniSectionMissing, // INI_FILE without INI_SECTION: a section named "-"
    RuleDefaultTitle,      // no TITLEBAR
    RuleSettingInSection,  // a setting inside an open section: also a pattern
    RuleHashComment,       // '#' marks no comment
    RuleLooseLine,         // neither a setting nor a section entry
    RuleHeaderTypo,        // a section header close to a known one
    RuleUnknownHeader,     // a section the uninstaller does not read
    RuleSectionRepeated,   // a section again: its earlier entries are dropped
    RuleDashEntry,         // an entry beginning with "-": it closes the section
    RuleBlankEntry,        // an entry beginning with a blank: the blank is part of it
    RuleEofMarkerEntry,    // "[EOF]" inside a section: a pattern like any other
    RuleSectionAfterEnd,   // a section behind a line beginning with "EOF"
    RuleUnterminated,      // a section still open at the end: the program refuses to start
    RuleRefusedPattern,    // a pattern reaching outside the folder: never swept
    RuleSlashPattern,      // '/' in a pattern: its folder is not removed
    RuleFolderKept,        // an outer folder no later pattern removes
    RuleUnusedSection,     // [ini] and [reg] entries take no part in an uninstall
};

struct Finding {
    int line;  // 0 for the file as a whole
    Severity severity;
    Rule rule;
    std::string text;
};

struct Report {
    std::vector<Finding> findings;  // in line order
    std::vector<std::string> removal;  // what an uninstall removes, one line each
};

// Checks the file at path with the program's own readers and a line scan.
Report checkInstallEnv(const char* path);
// 0 clean (notes allowed), 1 warnings, 2 errors.
int exitStatus(const Report& report);
void printReport(FILE* out, const char* path, const Report& report);

}  // namespace envcheck
