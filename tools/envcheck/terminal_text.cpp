#include "terminal_text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ctype.h>
#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include "uninstall/path.h"
#endif

namespace envcheck {

namespace {

#ifdef _WIN32

std::string toCodePage(const std::string& text, UINT codePage)
{
    if (codePage == 0 || codePage == 932 || text.empty())
        return text;
    int n = MultiByteToWideChar(932, 0, text.data(), (int)text.size(), NULL, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(932, 0, text.data(), (int)text.size(), &wide[0], n);
    int m = WideCharToMultiByte(codePage, 0, wide.data(), n, NULL, 0, NULL, NULL);
    std::string out(m, '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), n, &out[0], m, NULL, NULL);
    return out;
}

#else

// The Shift-JIS family takes the bytes as they are; so does the C locale,
// which names no character set beyond ASCII and so passes bytes through.
bool keepsBytes(const char* charset)
{
    std::string name;
    for (const char* p = charset; *p; ++p) {
        if (*p != '-' && *p != '_')
            name += (char)toupper((unsigned char)*p);
    }
    for (const char* same : {"CP932", "WINDOWS31J", "SHIFTJIS", "SJIS", "MSKANJI", "ANSIX3.41968"}) {
        if (name == same)
            return true;
    }
    return false;
}

#endif

}  // namespace

#ifndef _WIN32

std::string toCharset(const std::string& text, const char* charset)
{
    iconv_t converter = keepsBytes(charset) ? (iconv_t)-1 : iconv_open(charset, "CP932");
    if (converter == (iconv_t)-1)
        return text;
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    while (inLeft > 0) {
        char* o = buffer;
        size_t oLeft = sizeof buffer;
        size_t result = iconv(converter, &in, &inLeft, &o, &oLeft);
        out.append(buffer, o - buffer);
        if (result == (size_t)-1 && errno != E2BIG) {
            // A whole character the terminal lacks, or a broken byte alone,
            // so that what follows a broken lead byte still comes through.
            out += '?';
            unsigned char trail = inLeft >= 2 ? (unsigned char)in[1] : 0;
            size_t skip = isShiftJisLeadByte((unsigned char)*in) && trail >= 0x40 && trail <= 0xFC && trail != 0x7F
                              ? 2
                              : 1;
            in += skip;
            inLeft -= skip;
        }
    }
    // A stateful character set returns to its initial state.
    char* o = buffer;
    size_t oLeft = sizeof buffer;
    iconv(converter, nullptr, nullptr, &o, &oLeft);
    out.append(buffer, o - buffer);
    iconv_close(converter);
    return out;
}

#endif

void convertForTerminal(Report& report)
{
#ifdef _WIN32
    UINT codePage = GetConsoleOutputCP();
    auto convert = [codePage](const std::string& text) { return toCodePage(text, codePage); };
#else
    setlocale(LC_CTYPE, "");
    const char* charset = nl_langinfo(CODESET);
    auto convert = [charset](const std::string& text) { return toCharset(text, charset); };
#endif
    for (Finding& finding : report.findings)
        finding.text = convert(finding.text);
    for (std::string& line : report.removal)
        line = convert(line);
}

}  // namespace envcheck
