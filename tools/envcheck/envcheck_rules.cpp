#include "envcheck_rules.h"

#include <string.h>

#include <algorithm>
#include <map>

#include "base/codepage.h"
#include "env/removal_lists.h"
#include "env/settings_keys.h"
#include "env/settings_table.h"
#include "resfile/resource_opener.h"
#include "uninstall/path.h"
#include "uninstall/removal_pattern.h"

namespace envcheck {

namespace {

// The program reads a line 511 bytes at a time, takes at most 400 of those
// reads as settings, and looks for a value within 99 blanks of the key.
const size_t kReadSize = 511;
const int kMaxSettingReads = 400;
const size_t kValueReach = 99;

struct KnownKey {
    const char* name;
    size_t capacity;  // the program's value buffer, terminator included
};

// HELP_FILE is read only by the shortcut removal, into 260 bytes; the rest
// reach at least one reader with 128 bytes.
const KnownKey kKnownKeys[] = {
    {"REG_GLOBAL", 128}, {"REG_LOCAL", 128},  {"INI_FILE", 128},   {"INI_SECTION", 128},
    {"TITLEBAR", 128},   {"INST_GROUP", 128}, {"INSTFOL", 128},    {"INSTREADME", 128},
    {"INSTREADMEFL", 128}, {"HELP_FILE", 260},
};

const char* const kHeaders[] = {"[delfiles]", "[delfiles_user]", "[ini]", "[reg]"};
const RemovalSection kHeaderSections[] = {SectionDelfiles, SectionDelfilesUser, SectionIni, SectionReg};

const char kUninstallKey[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZiViz";

bool isSeparator(unsigned char c)
{
    return c <= 0x20;
}

bool startsWith(const std::string& s, const char* prefix)
{
    return s.compare(0, strlen(prefix), prefix) == 0;
}

std::string upper(std::string s)
{
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    }
    return s;
}

const KnownKey* knownKey(const std::string& key)
{
    for (const KnownKey& k : kKnownKeys) {
        if (key == k.name)
            return &k;
    }
    return nullptr;
}

// Edit distance (insertions, deletions, substitutions and swaps of
// neighbours) between two byte strings.
int editDistance(const std::string& a, const std::string& b)
{
    size_t n = a.size(), m = b.size();
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
    for (size_t i = 0; i <= n; ++i)
        d[i][0] = (int)i;
    for (size_t j = 0; j <= m; ++j)
        d[0][j] = (int)j;
    for (size_t i = 1; i <= n; ++i) {
        for (size_t j = 1; j <= m; ++j) {
            int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

// The known name nearest to text (compared without letter case) when it is
// at most two edits away (one for names of four letters or fewer, where two
// would make most short words a match), else nullptr.
const char* nearestName(const std::string& text, const char* const* names, size_t count)
{
    const char* best = nullptr;
    int bestDistance = 3;
    std::string folded = upper(text);
    for (size_t i = 0; i < count; ++i) {
        int d = editDistance(folded, upper(names[i]));
        int allowed = strlen(names[i]) <= 4 ? 1 : 2;
        if (d <= allowed && d < bestDistance) {
            best = names[i];
            bestDistance = d;
        }
    }
    return best;
}

const char* nearestKey(const std::string& key)
{
    const char* names[sizeof kKnownKeys / sizeof kKnownKeys[0]];
    size_t n = 0;
    for (const KnownKey& k : kKnownKeys)
        names[n++] = k.name;
    return nearestName(key, names, n);
}

std::string sectionLabel(RemovalSection section)
{
    return std::string("[") + removalSectionName(section) + "]";
}

// One line as the settings reader takes it apart (the buffer of the program
// is zero-padded, so bytes past the piece count as separators).
struct SettingLine {
    std::string key;
    std::string value;  // empty: no value, nothing stored
    bool valueTooFar = false;
    bool moreWords = false;
};

SettingLine parseSetting(const std::string& piece)
{
    SettingLine out;
    size_t n = piece.size();
    size_t keyEnd = 0;
    while (keyEnd < n && !isSeparator((unsigned char)piece[keyEnd]))
        ++keyEnd;
    out.key = piece.substr(0, keyEnd);
    size_t i = keyEnd + 1;
    while (i < n && isSeparator((unsigned char)piece[i]))
        ++i;
    if (i >= n)
        return out;
    if (i > keyEnd + kValueReach) {
        out.valueTooFar = true;
        return out;
    }
    size_t valueEnd = i;
    while (valueEnd < n && !isSeparator((unsigned char)piece[valueEnd]))
        ++valueEnd;
    out.value = piece.substr(i, valueEnd - i);
    for (size_t j = valueEnd; j < n; ++j) {
        if (!isSeparator((unsigned char)piece[j]))
            out.moreWords = true;
    }
    return out;
}

// The value as the program stores it: '|' (not a trail byte) becomes a blank.
std::string storedValue(std::string value)
{
    for (char* bar = mbFindByte(&value[0], '|'); bar; bar = mbFindByte(bar + 1, '|'))
        *bar = ' ';
    return value;
}

// Whether cutting text to size bytes splits a double-byte character.
bool cutSplitsCharacter(const std::string& text, size_t size)
{
    size_t i = 0;
    while (i < size)
        i += isAnsiLeadByte((unsigned char)text[i]) ? 2 : 1;
    return i > size;
}

// Why the program refuses a pattern, in words.
const char* refusalReason(PatternVerdict verdict)
{
    switch (verdict) {
    case PatternTooLong:
        return "it is longer than 259 bytes";
    case PatternBrokenCharacter:
        return "it holds a broken double-byte character";
    case PatternColon:
        return "it holds a colon (a drive letter or a stream name)";
    case PatternRooted:
        return "it begins with a separator (the root of the drive, or a network path)";
    case PatternDotsOnly:
        return "it has a name of dots or blanks only, such as ..";
    case PatternDeviceName:
        return "it names a device (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension), not a file";
    default:
        return "it leaves the installation folder";
    }
}

enum LineKind {
    KindBlank,     // empty once trailing blanks are gone
    KindComment,   // "//" or ";"
    KindEnd,       // begins with "EOF": the section reading stops
    KindDash,      // begins with "-"
    KindHeader,    // a section header, known or not
    KindEntry,     // an entry of an open section
    KindForeign,   // inside a section the uninstaller does not know
    KindAfterEnd,  // behind the end of the section reading
    KindLoose,     // none of these
};

struct Scan {
    Report* report;

    // The settings reader.
    int reads = 0;
    int settingsEndLine = 0;  // the "[EOF]" line or the line of read 401
    bool stoppedAtEof = false;
    std::map<std::string, int> firstLine;  // known keys stored, by first line

    // The section reader.
    RemovalSection section = SectionNone;
    int sectionLine = 0;
    bool foreign = false;
    bool sectionsEnded = false;
    int sectionsEndLine = 0;
    int endedOpenLine = 0;  // the "EOF" line that met an open section
    int headerLine[5] = {};
    bool headerHadEntries[5] = {};
    // The entries of each section with their lines, as the last block left them.
    std::vector<std::pair<std::string, int>> entries[5];
};

void add(Scan& s, int line, Severity severity, Rule rule, const std::string& text)
{
    s.report->findings.push_back({line, severity, rule, text});
}

// A line in the shape "[name]..." outside the four known headers.
void checkOtherHeader(Scan& s, const std::string& t, int line)
{
    std::string name = t.substr(1, t.find(']') - 1);
    const char* names[] = {"delfiles", "delfiles_user", "ini", "reg"};
    const char* near = nearestName(name, names, 4);
    std::string inside = s.section != SectionNone
                             ? "; inside " + sectionLabel(s.section) + " it is taken as an entry"
                             : "; the lines up to the next '-' are ignored";
    if (near)
        add(s, line, SeverityWarning, RuleHeaderTypo,
            "section [" + name + "] is not [" + near + "] (headers are exact and lower case)" + inside);
    else
        add(s, line, s.section != SectionNone ? SeverityWarning : SeverityInfo, RuleUnknownHeader,
            "section [" + name + "] is not read by the uninstaller" + inside);
}

void checkEntry(Scan& s, const std::string& t, int line)
{
    s.headerHadEntries[s.section] = true;
    s.entries[s.section].push_back({t, line});
    if (startsWith(t, "[EOF]")) {
        add(s, line, SeverityWarning, RuleEofMarkerEntry,
            "[EOF] inside " + sectionLabel(s.section) + " is an entry like any other, not an end");
        return;
    }
    if (t[0] == '[' && t.find(']') != std::string::npos)
        checkOtherHeader(s, t, line);
    if (s.section == SectionIni || s.section == SectionReg)
        return;
    if (isSeparator((unsigned char)t[0]))
        add(s, line, SeverityWarning, RuleBlankEntry,
            "entry begins with a blank, which stays part of the pattern ('-' or a header behind it does not count)");
    RemovalPattern pattern;
    if (readRemovalPattern(t.c_str(), &pattern) != 0)
        add(s, line, SeverityError, RuleRefusedPattern,
            "pattern '" + t + "' is refused and never swept: " + refusalReason(pattern.verdict));
    else if (mbFindByte(t.c_str(), '/'))
        add(s, line, SeverityWarning, RuleSlashPattern,
            "pattern '" + t + "' uses '/': files match, but its folder is not removed; write '\\'");
}

// The section reader's view of one read (see readRemovalSections).
LineKind sectionView(Scan& s, const std::string& piece, int line)
{
    // The program measures the line with strlen and drops trailing blanks.
    std::string t = piece.substr(0, strlen(piece.c_str()));
    while (!t.empty() && isSeparator((unsigned char)t.back()))
        t.pop_back();

    if (s.sectionsEnded) {
        for (const char* header : kHeaders) {
            if (startsWith(t, header))
                add(s, line, SeverityWarning, RuleSectionAfterEnd,
                    std::string(header) + " is not read: sections end at line " + std::to_string(s.sectionsEndLine) +
                        ", which begins with EOF");
        }
        return KindAfterEnd;
    }
    if (t.empty())
        return KindBlank;
    if (startsWith(t, "//") || startsWith(t, ";"))
        return KindComment;
    if (startsWith(t, "EOF")) {
        s.sectionsEnded = true;
        s.sectionsEndLine = line;
        if (s.section != SectionNone)
            s.endedOpenLine = line;
        return KindEnd;
    }
    if (startsWith(t, "-")) {
        if (s.section != SectionNone && t != "-")
            add(s, line, SeverityWarning, RuleDashEntry,
                "'" + t + "' begins with '-' and closes " + sectionLabel(s.section) + " (line " +
                    std::to_string(s.sectionLine) + "): a pattern cannot begin with '-', and lines below are ignored");
        s.section = SectionNone;
        s.foreign = false;
        return KindDash;
    }
    for (int i = 0; i < 4; ++i) {
        if (!startsWith(t, kHeaders[i]))
            continue;
        RemovalSection opened = kHeaderSections[i];
        if (s.headerHadEntries[opened])
            add(s, line, SeverityWarning, RuleSectionRepeated,
                sectionLabel(opened) + " again: the entries below line " + std::to_string(s.headerLine[opened]) +
                    " are dropped, only this block counts");
        s.section = opened;
        s.sectionLine = line;
        s.foreign = false;
        s.headerLine[opened] = line;
        s.headerHadEntries[opened] = false;
        s.entries[opened].clear();
        if (opened == SectionIni || opened == SectionReg)
            add(s, line, SeverityInfo, RuleUnusedSection,
                sectionLabel(opened) + " is read, but its entries take no part in an uninstall");
        return KindHeader;
    }
    if (s.section != SectionNone) {
        checkEntry(s, t, line);
        return KindEntry;
    }
    if (t[0] == '[' && t.find(']') != std::string::npos && !startsWith(t, "[EOF]")) {
        checkOtherHeader(s, t, line);
        s.foreign = true;
        return KindHeader;
    }
    return s.foreign ? KindForeign : KindLoose;
}

void checkStoredSetting(Scan& s, const SettingLine& p, const KnownKey& known, int line, LineKind kind)
{
    if (kind == KindEntry)
        add(s, line, SeverityWarning, RuleSettingInSection,
            p.key + " inside " + sectionLabel(s.section) + " (line " + std::to_string(s.sectionLine) +
                ") is also taken as an entry; close the section with '-' first");
    auto seen = s.firstLine.find(p.key);
    if (seen != s.firstLine.end()) {
        add(s, line, SeverityWarning, RuleDuplicateKey,
            p.key + " again: the program uses the first one, on line " + std::to_string(seen->second));
        return;
    }
    s.firstLine[p.key] = line;
    if (p.moreWords)
        add(s, line, SeverityWarning, RuleValueWords,
            p.key + ": only the first word '" + p.value + "' counts; write '|' for a blank");
    std::string value = storedValue(p.value);
    size_t limit = known.capacity - 1;
    if (value.size() > limit)
        add(s, line, SeverityWarning, RuleLongValue,
            p.key + ": the value is " + std::to_string(value.size()) + " bytes; the program uses its first " +
                std::to_string(limit) + (cutSplitsCharacter(value, limit) ? ", cutting a double-byte character" : ""));
}

void reportBeyondEnd(Scan& s, const SettingLine& p, int line)
{
    if (p.value.empty() || !knownKey(p.key))
        return;
    if (s.stoppedAtEof)
        add(s, line, SeverityWarning, RuleAfterEofMarker,
            p.key + " stands behind [EOF] (line " + std::to_string(s.settingsEndLine) + ") and is not read");
    else
        add(s, line, SeverityWarning, RuleAfterLineLimit,
            p.key + " stands behind the 400th line the program reads (line " + std::to_string(s.settingsEndLine) +
                " is the 401st) and is not read");
}

// The settings reader's view of one read (see readSettingsTable).
void settingsView(Scan& s, const std::string& piece, int line, LineKind kind)
{
    bool outsideSections = kind == KindLoose || kind == KindForeign || kind == KindAfterEnd;
    if (!s.settingsEndLine && ++s.reads > kMaxSettingReads)
        s.settingsEndLine = line;
    if (s.settingsEndLine) {
        if (outsideSections && !isSeparator((unsigned char)piece[0]) && piece[0] != '/')
            reportBeyondEnd(s, parseSetting(piece), line);
        return;
    }
    if (startsWith(piece, "[EOF]")) {
        s.settingsEndLine = line;
        s.stoppedAtEof = true;
        return;
    }
    unsigned char first = (unsigned char)piece[0];
    if (isSeparator(first)) {
        size_t start = 0;
        while (start < piece.size() && isSeparator((unsigned char)piece[start]))
            ++start;
        if (start == piece.size() || kind == KindEntry)
            return;
        SettingLine p = parseSetting(piece.substr(start));
        for (const KnownKey& k : kKnownKeys) {
            if (upper(p.key) == k.name)
                add(s, line, SeverityWarning, RuleBlankBeforeKey,
                    p.key + ": the line begins with a blank and is skipped");
        }
        return;
    }
    if (first == '/')
        return;
    SettingLine p = parseSetting(piece);
    const KnownKey* known = knownKey(p.key);
    if (p.value.empty()) {
        if (!outsideSections)
            return;
        if (known)
            add(s, line, SeverityWarning, RuleNoValue,
                p.key + " has no value" + (p.valueTooFar ? " within 99 blanks" : std::string()) +
                    "; the default is used");
        else if (first == '#')
            add(s, line, SeverityWarning, RuleHashComment, "'#' does not begin a comment; write //");
        else if (kind == KindLoose)
            add(s, line, SeverityWarning, RuleLooseLine,
                "neither a setting (no value) nor an entry of an open section; ignored");
        return;
    }
    if (known) {
        checkStoredSetting(s, p, *known, line, kind);
        return;
    }
    if (!outsideSections)
        return;
    const char* near = nearestKey(p.key);
    if (first == '#')
        add(s, line, SeverityWarning, RuleHashComment, "'#' does not begin a comment; write //");
    else if (near && upper(p.key) == near)
        add(s, line, SeverityWarning, RuleKeyCase,
            p.key + " is not " + near + ": keys are exact and upper case; this line is ignored");
    else if (near)
        add(s, line, SeverityWarning, RuleKeyTypo, "unknown key " + p.key + "; did you mean " + near + "?");
    else
        add(s, line, SeverityInfo, RuleUnusedKey, p.key + " is not used by the uninstaller");
}

// Hands one line (with its LF, when it has one) to both views, 511 bytes at a
// time as the program reads it.
void scanLine(Scan& s, const std::string& text, int line)
{
    size_t length = text.size() - (text.back() == '\n' ? 1 : 0);
    for (size_t at = 0; at < text.size(); at += kReadSize) {
        std::string piece = text.substr(at, kReadSize);
        LineKind kind = sectionView(s, piece, line);
        if (at == 0 && length > kReadSize && kind == KindEntry)
            add(s, line, SeverityWarning, RuleLongEntry,
                "the entry is " + std::to_string(length) + " bytes; the program reads 511 at a time, so '" +
                    text.substr(kReadSize, length - kReadSize) + "' is an entry of " +
                    sectionLabel(s.section) + " of its own");
        else if (at == 0 && length > kReadSize)
            add(s, line, SeverityWarning, RuleLongLine,
                "the line is " + std::to_string(length) +
                    " bytes; the program reads 511 at a time, the rest as a line of its own");
        settingsView(s, piece, line, kind);
    }
}

// Splits the bytes into lines as text-mode reading sees them: CR LF is LF,
// and a Ctrl-Z ends the file.
void scanLines(Scan& s, const std::string& raw)
{
    int line = 1;
    std::string current;
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '\x1a') {
            if (raw.find_first_not_of(std::string(" \t\r\n\x1a\0", 6), i) != std::string::npos)
                add(s, line, SeverityWarning, RuleCtrlZ,
                    "a Ctrl-Z byte ends the file for the program; the rest is ignored");
            break;
        }
        if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        current += c;
        if (c == '\n') {
            scanLine(s, current, line++);
            current.clear();
        }
    }
    if (!current.empty())
        scanLine(s, current, line);
}

bool sameFolder(const std::string& a, const std::string& b)
{
    return upper(a) == upper(b);
}

// A pattern removes only its own innermost folder, right after its files, so
// every outer folder needs a pattern of its own, swept later. The sweeps run
// through [delfiles], then (when the user asks) [delfiles_user].
void checkFolderOrder(Scan& s)
{
    std::vector<std::pair<std::string, int>> sweeps = s.entries[SectionDelfiles];
    sweeps.insert(sweeps.end(), s.entries[SectionDelfilesUser].begin(), s.entries[SectionDelfilesUser].end());
    std::vector<std::string> folders;
    for (const auto& sweep : sweeps) {
        RemovalPattern pattern;
        readRemovalPattern(sweep.first.c_str(), &pattern);
        folders.push_back(pattern.folder);
    }
    std::vector<std::string> reported;
    for (size_t i = 0; i < sweeps.size(); ++i) {
        std::string outer = folders[i];
        for (char* cut; !outer.empty() && (cut = mbFindLastByte(&outer[0], '\\')) != nullptr;) {
            outer.resize(cut - &outer[0]);
            bool later = false;
            int earlier = 0;
            for (size_t j = 0; j < sweeps.size(); ++j) {
                if (j != i && sameFolder(folders[j], outer)) {
                    later = later || j > i;
                    earlier = j < i ? sweeps[j].second : earlier;
                }
            }
            bool seen = false;
            for (const std::string& r : reported)
                seen = seen || sameFolder(r, outer);
            if (later || seen)
                continue;
            reported.push_back(outer);
            if (earlier)
                add(s, sweeps[i].second, SeverityWarning, RuleFolderKept,
                    "the folder " + outer + " stays: line " + std::to_string(earlier) +
                        " removes it before this pattern empties " + folders[i] + "; list inner folders first");
            else
                add(s, sweeps[i].second, SeverityWarning, RuleFolderKept,
                    "the folder " + outer + " stays: a pattern removes only its innermost folder (" + folders[i] +
                        "); add a pattern for " + outer + "\\ below this one");
        }
    }
}

// Checks that need the whole table: read through the program's own lookups.
void checkSettings(Scan& s)
{
    auto lineOf = [&s](const char* key) {
        auto it = s.firstLine.find(key);
        return it == s.firstLine.end() ? 0 : it->second;
    };
    auto present = [](const char* key) {
        char value[8];
        return lookupSetting(key, value, sizeof value, "")[0] != '\0';
    };
    for (const char* key : {"INST_GROUP", "INSTFOL"}) {
        char value[128];
        if (lookupSetting(key, value, sizeof value, "")[0] == '-')
            add(s, lineOf(key), SeverityWarning, RuleDashNotNone,
                std::string(key) + " '" + value + "' names a folder; for none leave the key out");
    }
    for (const char* key : {"TITLEBAR", "INST_GROUP", "INSTREADME"}) {
        char value[260];
        lookupSetting(key, value, sizeof value, "");
        const char* bad = "\\/:*?\"<>";
        if (!strcmp(key, "INST_GROUP"))
            bad = "/:*?\"<>";  // a '\' nests the group one folder deeper
        for (const char* p = value; *p; p = mbNextChar(p)) {
            if (strchr(bad, *p)) {
                add(s, lineOf(key), SeverityWarning, RuleBadNameChar,
                    std::string(key) + " holds '" + *p + "', which a file or folder name cannot hold");
                break;
            }
        }
    }
    bool global = present("REG_GLOBAL"), local = present("REG_LOCAL");
    if (global != local)
        add(s, lineOf(global ? "REG_GLOBAL" : "REG_LOCAL"), SeverityWarning, RuleRegisterHalf,
            std::string(global ? "REG_LOCAL" : "REG_GLOBAL") + " is missing: the registry keys use the name '-' there");
    else if (!global)
        add(s, 0, SeverityInfo, RuleRegisterDefault,
            "no REG_GLOBAL and REG_LOCAL: the registry keys are Software\\-\\-");
    if (present("INI_FILE") && settingIniFile()[0] != '-' && !present("INI_SECTION"))
        add(s, lineOf("INI_FILE"), SeverityWarning, RuleIniSectionMissing,
            "INI_FILE without INI_SECTION: the section named '-' is removed");
    if (!present("TITLEBAR"))
        add(s, 0, SeverityInfo, RuleDefaultTitle, std::string("no TITLEBAR: the title is ") + settingTitle());
}

// One line of the summary: what, and in a column behind it (bytes count as
// columns, which holds for Shift-JIS on a terminal), a note.
std::string item(const std::string& what, const std::string& note = std::string())
{
    std::string line = "    " + what;
    if (!note.empty())
        line += std::string(line.size() < 44 ? 44 - line.size() : 2, ' ') + note;
    return line;
}

void describePatterns(std::vector<std::string>& out, const RemovalEntry* list)
{
    if (!list)
        out.push_back("    (none)");
    for (const RemovalEntry* e = list; e; e = e->next) {
        RemovalPattern pattern;
        if (readRemovalPattern(e->text, &pattern) != 0)
            out.push_back(item(e->text, "refused, never swept"));
        else if (!pattern.name[0])
            out.push_back(item(e->text, std::string("the folder ") + pattern.folder + " when empty"));
        else if (pattern.folder[0])
            out.push_back(item(e->text, std::string("then the folder ") + pattern.folder + " when empty"));
        else
            out.push_back(item(e->text));
    }
}

void describeRemoval(std::vector<std::string>& out)
{
    std::string title = settingTitle();
    std::string global = settingRegGlobal(), local = settingRegLocal();
    out.push_back("Uninstaller: window and instance name '" + std::string(uninstallTitle()) + "'");
    out.push_back("Files in the installation folder, always:");
    for (const char* fixed : {"install.arc", "install.env", "insttscr.rct", "*.gid"})
        out.push_back(item(fixed));
    describePatterns(out, delfilesList);
    out.push_back("Save files, only when the user ticks the save-file box:");
    describePatterns(out, delfilesUserList);

    out.push_back("Registry:");
    out.push_back(item("HKCU\\Software\\" + global + "\\" + local, "with all its subkeys and values"));
    out.push_back(item("HKCU\\Software\\" + global, "when nothing else is left in it"));
    out.push_back(item("HKLM\\Software\\" + global + "\\" + local,
                       "administrator check: created when missing, never removed"));
    out.push_back(item(kUninstallKey + title, "the entry in the list of installed programs"));

    // The readme shortcut goes only when a readme file is named.
    char readmeFile[260], readmeName[260];
    lookupSetting("HELP_FILE", readmeFile, sizeof readmeFile, "");
    lookupSetting("INSTREADMEFL", readmeFile, sizeof readmeFile, readmeFile);
    lookupSetting("INSTREADME", readmeName, sizeof readmeName, "お読みください");
    const char* group = settingInstGroup();
    std::string folder = std::string("Programs\\") + (group ? std::string(group) + "\\" : "") + titleFolderName();
    out.push_back("Shortcuts (all users' Start menu and desktop; the user's own before Vista):");
    out.push_back(item(folder + "\\" + title + ".LNK"));
    if (readmeFile[0] != '\0' && readmeFile[0] != '-')
        out.push_back(item(folder + "\\" + title + " " + readmeName + ".LNK"));
    out.push_back(item(folder + "\\" + uninstallTitle() + ".LNK"));
    out.push_back(item(folder, "the folder, when empty"));
    if (group)
        out.push_back(item(std::string("Programs\\") + group, "the folder, when empty"));
    out.push_back(item("Desktop\\" + title + ".LNK"));

    if (settingIniFile()[0] != '-')
        out.push_back(std::string("INI file ") + settingIniFile() + ": the section [" + settingIniSection() + "]");
    else
        out.push_back("INI file: none");
    const char* instFolder = settingInstFolder();
    out.push_back(std::string("Last, once the program has ended: the installation folder") +
                  (instFolder ? std::string(", and its parent when that is named ") + instFolder +
                                    " and no files of the user's are left"
                              : std::string()));
}

void resetReaders()
{
    releaseSettingsTable();
    resetSettingsKeysCache();
    clearRemovalList(&delfilesList);
    clearRemovalList(&delfilesUserList);
    clearRemovalList(&iniList);
    clearRemovalList(&regList);
}

}  // namespace

Report checkInstallEnv(const char* path)
{
    Report report;
    Scan s;
    s.report = &report;

    // The settings reader would show its retry box for a file that does not
    // open, so the file is tried first.
    FILE* raw = fopen(path, "rb");
    if (!raw) {
        add(s, 0, SeverityError, RuleCannotOpen, "cannot open the file; the uninstaller would not start");
        return report;
    }
    std::string bytes;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, raw)) > 0)
        bytes.append(chunk, n);
    fclose(raw);
    scanLines(s, bytes);

    resetReaders();
    setPlainPathsAllowed(1);
    readSettingsTable(path);
    RemovalSection open = SectionNone;
    if (FILE* stream = fopen(path, "rt")) {
        open = readRemovalSections(stream);
        fclose(stream);
    }
    if (open != SectionNone) {
        std::string what = sectionLabel(open) + " (line " + std::to_string(s.sectionLine) + ")";
        if (s.endedOpenLine)
            add(s, s.endedOpenLine, SeverityError, RuleUnterminated,
                "this line begins with EOF and ends the reading while " + what +
                    " is open; the uninstaller refuses to start");
        else
            add(s, s.sectionLine, SeverityError, RuleUnterminated,
                sectionLabel(open) + " is not closed by a line '-'; the uninstaller refuses to start");
    }
    checkSettings(s);
    checkFolderOrder(s);
    if (open != SectionNone)
        report.removal.push_back("(The uninstaller does not start with this file; were the section closed:)");
    describeRemoval(report.removal);
    resetReaders();

    std::stable_sort(report.findings.begin(), report.findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return report;
}

int exitStatus(const Report& report)
{
    int status = 0;
    for (const Finding& f : report.findings) {
        if (f.severity == SeverityError)
            status = 2;
        else if (f.severity == SeverityWarning && status < 1)
            status = 1;
    }
    return status;
}

void printReport(FILE* out, const char* path, const Report& report)
{
    static const char* const kSeverity[] = {"note", "warning", "error"};
    int counts[3] = {};
    for (const Finding& f : report.findings) {
        if (f.line > 0)
            fprintf(out, "%s:%d: %s: %s\n", path, f.line, kSeverity[f.severity], f.text.c_str());
        else
            fprintf(out, "%s: %s: %s\n", path, kSeverity[f.severity], f.text.c_str());
        ++counts[f.severity];
    }
    if (!report.removal.empty()) {
        fprintf(out, "\nWhat an uninstall with this file removes:\n");
        for (const std::string& line : report.removal)
            fprintf(out, "  %s\n", line.c_str());
    }
    fprintf(out, "\n%d error(s), %d warning(s), %d note(s)\n", counts[SeverityError], counts[SeverityWarning],
            counts[SeverityInfo]);
}

}  // namespace envcheck
