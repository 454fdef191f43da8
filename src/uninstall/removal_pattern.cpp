#include "uninstall/removal_pattern.h"

#include <string.h>

#include "base/codepage.h"

namespace {

bool isAsciiLetterOf(unsigned char c, char upper)
{
    return c == upper || c == upper + ('a' - 'A');
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices in every folder, with
// any extension and with blanks before it: "con .txt" is the console.
bool isDeviceName(const char* part, size_t length)
{
    const char* dot = (const char*)memchr(part, '.', length);
    size_t stem = dot ? (size_t)(dot - part) : length;
    while (stem > 0 && part[stem - 1] == ' ')
        --stem;
    static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "COM", "LPT"};
    for (int i = 0; i < 6; ++i) {
        const char* name = kNames[i];
        bool numbered = i >= 4;
        if (stem != (numbered ? 4u : 3u))
            continue;
        if (isAsciiLetterOf(part[0], name[0]) && isAsciiLetterOf(part[1], name[1]) &&
            isAsciiLetterOf(part[2], name[2]) && (!numbered || (part[3] >= '1' && part[3] <= '9')))
            return true;
    }
    return false;
}

// The first reason to refuse entry, looking at each part once. Empty parts
// are harmless (the platform reads "a\\b" as "a\b", and "save\" names the
// folder save); only a leading separator reaches outside.
PatternVerdict judgeEntry(const char* entry)
{
    if (strlen(entry) >= MAX_PATH_BYTES)
        return PatternTooLong;
    if (isDirSeparator((unsigned char)entry[0]))
        return PatternRooted;
    const char* part = entry;
    bool onlyDotsAndBlanks = true;
    for (const char* p = entry;; ++p) {
        unsigned char c = (unsigned char)*p;
        if (c == '\0' || isDirSeparator(c)) {
            // The platform drops a part's trailing dots and blanks, so "..",
            // ". ." and "..." may all climb to the parent.
            if (p > part && onlyDotsAndBlanks)
                return PatternDotsOnly;
            if (isDeviceName(part, p - part))
                return PatternDeviceName;
            if (c == '\0')
                return p == entry ? PatternDotsOnly : PatternSwept;
            part = p + 1;
            onlyDotsAndBlanks = true;
        } else if (c == ':') {
            return PatternColon;
        } else if (isAnsiLeadByte(c)) {
            // No code page has a trail byte below 0x40: a dot, blank, colon
            // or separator behind a lead byte is a broken character that
            // the platform may read apart from us.
            if ((unsigned char)p[1] < 0x40)
                return PatternBrokenCharacter;
            onlyDotsAndBlanks = false;
            ++p;
        } else if (c != '.' && c != ' ') {
            onlyDotsAndBlanks = false;
        }
    }
}

// The character at p as one number (a double-byte character as lead byte *
// 256 + trail byte), its letter case folded to upper case.
unsigned foldedChar(const char* p)
{
    const unsigned char* b = (const unsigned char*)p;
    if (!isAnsiLeadByte(b[0]) || !b[1])
        return b[0] >= 'a' && b[0] <= 'z' ? b[0] - ('a' - 'A') : b[0];
    unsigned c = b[0] << 8 | b[1];
    if (!isAnsiShiftJis())
        return c;
    if (c >= 0x8281 && c <= 0x829A)  // ａ-ｚ
        return c - 0x21;
    if (c >= 0x83BF && c <= 0x83D6)  // α-ω
        return c - 0x20;
    if (c >= 0x8470 && c <= 0x847E)  // а-н (0x847F is no character)
        return c - 0x30;
    if (c >= 0x8480 && c <= 0x8491)  // о-я
        return c - 0x31;
    return c;
}

// A '?' stands for one character but never for a dot, as in the system's
// own search.
bool charMatches(const char* p, const char* n)
{
    return *p == '?' ? *n != '.' : foldedChar(p) == foldedChar(n);
}

}  // namespace

int readRemovalPattern(const char* entry, RemovalPattern* pattern)
{
    pattern->path[0] = pattern->name[0] = pattern->folder[0] = '\0';
    pattern->verdict = judgeEntry(entry);
    if (pattern->verdict != PatternSwept)
        return -1;
    char* out = pattern->path;
    const char* name = out;
    const char* folderEnd = nullptr;
    for (const char* p = entry; *p;) {
        if (!isDirSeparator((unsigned char)*p)) {
            const char* next = mbNextChar(p);
            while (p < next)
                *out++ = *p++;
            continue;
        }
        char separator = '/';
        for (; isDirSeparator((unsigned char)*p); ++p) {
            if (*p == '\\')
                separator = '\\';
        }
        if (separator == '\\')
            folderEnd = out;
        *out++ = separator;
        name = out;
    }
    *out = '\0';
    strcpy(pattern->name, name);
    if (folderEnd) {
        memcpy(pattern->folder, pattern->path, folderEnd - pattern->path);
        pattern->folder[folderEnd - pattern->path] = '\0';
    }
    return 0;
}

bool matchesLongName(const char* pattern, const char* name)
{
    // Only the last star is ever taken back: it may then take in one more
    // character, which any earlier star could only have left to it.
    const char* lastDot = mbFindLastByte(name, '.');
    const char* p = pattern;
    const char* n = name;
    const char* afterStar = nullptr;
    const char* starEnd = nullptr;
    bool starBeforeDot = false;
    for (;;) {
        if (*p == '*') {
            starBeforeDot = p[1] == '.';
            afterStar = ++p;
            starEnd = n;
            continue;
        }
        if (*p == '.' && !*n && (p[1] == '*' || p[1] == '?' || !p[1])) {
            ++p;
            continue;
        }
        if (!*p && !*n)
            return true;
        if (*p && *n && charMatches(p, n)) {
            p = mbNextChar(p);
            n = mbNextChar(n);
            continue;
        }
        if (!afterStar || !*starEnd || (starBeforeDot && starEnd == lastDot))
            return false;
        starEnd = mbNextChar(starEnd);
        p = afterStar;
        n = starEnd;
    }
}

bool isPlainFileName(const char* name)
{
    bool onlyDotsAndBlanks = true;
    const char* last = name;
    for (const char* p = name; *p; p = mbNextChar(p)) {
        unsigned char c = (unsigned char)*p;
        last = p;
        if (isAnsiLeadByte(c)) {
            if (!p[1])
                return false;
            onlyDotsAndBlanks = false;
        } else if (c < 0x20 || strchr("\\/:*?\"<>|", c)) {
            return false;
        } else if (c != '.' && c != ' ') {
            onlyDotsAndBlanks = false;
        }
    }
    return !onlyDotsAndBlanks && *last != '.' && *last != ' ';
}

bool entersReparseFolder(unsigned long tag)
{
    // 0, 1 and 2 are reserved; bit 29 marks a name surrogate.
    return tag > 2 && !(tag & 0x20000000);
}
