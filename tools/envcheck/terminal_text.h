// envcheck's texts are Shift-JIS (code page 932), the way the uninstaller
// reads install.env; the terminal they are printed on may read another
// character set.
#pragma once
#include <string>

#include "envcheck_rules.h"

namespace envcheck {

// Converts the texts of the report (the findings and what an uninstall
// removes) into the terminal's character set: the locale's (LC_CTYPE) off
// Windows, the console's code page on Windows. Where that is code page 932
// or Shift-JIS already, or the C locale, they are left as they are.
void convertForTerminal(Report& report);

#ifndef _WIN32
// text (code page 932) in charset, as iconv names it; a broken character,
// or one that charset lacks, becomes '?'.
std::string toCharset(const std::string& text, const char* charset);
#endif

}  // namespace envcheck
