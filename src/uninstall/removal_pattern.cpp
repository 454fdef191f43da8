#include "uninstall/removal_pattern.h"

#include <string.h>

#include "base/codepage.h"

namespace {

bool isDirSeparator(unsigned char c)
{
    return c == '\\' || c == '/';
}

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
