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

// What a character of a search name stands for once the system has read it
// as MS-DOS programs expect: the file system's own wildcards.
enum Wildcard {
    WildNone,
    WildStar,     // any run of characters
    WildDosStar,  // any run that does not take in the name's last dot
    WildDosQm,    // one character other than a dot; nothing at a dot or at the end
    WildDosDot,   // a dot; nothing at the end
};

struct SearchChar {
    Wildcard wild;
    unsigned folded;  // the character itself, when it is no wildcard
};

// Reads the name part of an "A" search pattern (length bytes, less than a
// path buffer) into out the way the system reads it: its final dots and
// blanks dropped, then every '?' a WildDosQm, a '*' before a dot a
// WildDosStar, a dot before '*' or '?' a WildDosDot, and when the name ended
// in a dot, a '*' it now ends in a WildDosStar too. ("*.*", which the system
// makes "*", matches every name this way as well.) '<', '>' and '"' reach the
// file system as they are, which reads them as its own wildcards. The number
// of characters read.
int readSearchName(const char* pattern, size_t length, SearchChar* out)
{
    const char* lastDot = mbFindLastByte(pattern, '.');
    bool endsInDot = lastDot && !lastDot[1];
    // No code page has a trail byte below 0x40: these are dots and blanks.
    while (length > 0 && (pattern[length - 1] == '.' || pattern[length - 1] == ' '))
        --length;
    char name[MAX_PATH_BYTES];
    memcpy(name, pattern, length);
    name[length] = '\0';
    int count = 0;
    for (const char* p = name; *p; p = mbNextChar(p), ++count) {
        SearchChar& c = out[count];
        c.wild = WildNone;
        c.folded = foldedChar(p);
        if (*p == '?' || *p == '>')
            c.wild = WildDosQm;
        else if (*p == '*')
            c.wild = p[1] == '.' || (!p[1] && endsInDot) ? WildDosStar : WildStar;
        else if (*p == '.' && (p[1] == '*' || p[1] == '?'))
            c.wild = WildDosDot;
        else if (*p == '<')
            c.wild = WildDosStar;
        else if (*p == '"')
            c = {WildDosDot, '.'};
    }
    return count;
}

// Whether a search character may match nothing before the name character
// at n (the end of the name when *n is 0).
bool matchesNothing(Wildcard wild, const char* n)
{
    switch (wild) {
    case WildStar:
    case WildDosStar:
        return true;
    case WildDosQm:
        return !*n || *n == '.';
    case WildDosDot:
        return !*n;
    default:
        return false;
    }
}

// Whether a search character takes the name character at n and stays for
// more: a star, or a DOS star short of the name's last dot.
bool takesAndStays(Wildcard wild, const char* n, const char* lastDot)
{
    return wild == WildStar || (wild == WildDosStar && n != lastDot);
}

// Whether a search character takes the name character at n (folded: c) and
// is done with it: '?' any character but a dot, the others only themselves
// (a star taking a '*' could as well take it and stay).
bool takesOne(const SearchChar& s, const char* n, unsigned c)
{
    return s.wild == WildDosQm ? *n != '.' : s.folded == c;
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
    size_t length = strlen(pattern);
    if (length >= MAX_PATH_BYTES)
        return false;
    SearchChar wanted[MAX_PATH_BYTES];
    int count = readSearchName(pattern, length, wanted);
    // Every way through the pattern at once, so that no run of stars can
    // make it slow: live[i] says whether the first i search characters can
    // match the name up to n (count < MAX_PATH_BYTES).
    bool live[MAX_PATH_BYTES] = {true};
    const char* lastDot = mbFindLastByte(name, '.');
    for (const char* n = name;; n = mbNextChar(n)) {
        for (int i = 0; i < count; ++i)
            live[i + 1] = live[i + 1] || (live[i] && matchesNothing(wanted[i].wild, n));
        if (!*n)
            return live[count];
        unsigned c = foldedChar(n);
        bool arrives = false;
        for (int i = 0; i < count; ++i) {
            bool here = live[i];
            live[i] = arrives || (here && takesAndStays(wanted[i].wild, n, lastDot));
            arrives = here && takesOne(wanted[i], n, c);
        }
        live[count] = arrives;
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
