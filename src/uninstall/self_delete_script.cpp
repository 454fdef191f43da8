#include "uninstall/self_delete_script.h"

#include <string.h>

#include "uninstall/path.h"

namespace {

const char kScriptName[] = "TaveloSuicide.bat";

// Appends before, the path and after (which ends the line). cmd expands
// %...% in a batch file even between quotes, so every '%' of the path is
// doubled; no code page has 0x25 as a trail byte, so each one is a real '%'.
int appendLine(char* script, size_t size, const char* before, const char* path, const char* after)
{
    char doubled[2 * MAX_PATH_BYTES];
    size_t n = 0;
    for (const char* p = path; *p && n + 2 < sizeof doubled; ++p) {
        doubled[n++] = *p;
        if (*p == '%')
            doubled[n++] = '%';
    }
    doubled[n] = '\0';
    return (appendText(script, size, before) == 0 && appendText(script, size, doubled) == 0 &&
            appendText(script, size, after) == 0) ? 0 : -1;
}

}  // namespace

int buildSelfDeleteScript(const char* exePath, const char* tempFolder, int removeParentFolder,
                          char* scriptPath, char* pifPath, char* script, size_t scriptSize)
{
    scriptPath[0] = pifPath[0] = '\0';
    if (scriptSize == 0)
        return -1;
    script[0] = '\0';
    char folder[MAX_PATH_BYTES];
    size_t tempLength = strlen(tempFolder);
    // Room for the temporary folder, a separator and the script's name.
    if (strlen(exePath) >= MAX_PATH_BYTES || tempLength == 0 ||
        tempLength + 1 + sizeof kScriptName > MAX_PATH_BYTES)
        return -1;
    strcpy(folder, exePath);
    if (!findLastSeparator(folder))
        return -1;
    cutAtLastSeparator(folder);

    strcpy(scriptPath, tempFolder);
    addTrailingSeparator(scriptPath);
    strcat(scriptPath, kScriptName);
    replaceExtension(pifPath, scriptPath, "pif");

    bool written = appendText(script, scriptSize, ":retry\r\n") == 0 &&
                   appendLine(script, scriptSize, "del \"", exePath, "\"\r\n") == 0 &&
                   appendLine(script, scriptSize, "if exist \"", exePath, "\" goto retry\r\n") == 0 &&
                   appendLine(script, scriptSize, "rd \"", folder, "\"\r\n") == 0;
    if (written && removeParentFolder == 1 && findLastSeparator(folder)) {
        cutAtLastSeparator(folder);
        written = appendLine(script, scriptSize, "rd \"", folder, "\"\r\n") == 0;
    }
    written = written && appendLine(script, scriptSize, "del \"", pifPath, "\"\r\n") == 0 &&
              appendLine(script, scriptSize, "del \"", scriptPath, "\"\r\n") == 0;
    if (!written) {
        script[0] = '\0';
        return -1;
    }
    return 0;
}

int buildScriptCommand(const char* systemFolder, const char* scriptPath, char* application, char* commandLine,
                       size_t size)
{
    application[0] = '\0';
    if (size == 0)
        return -1;
    commandLine[0] = '\0';
    char folder[MAX_PATH_BYTES];
    const char* name = findLastSeparator(scriptPath);
    // Room for the separator and the longer of the two names.
    if (strlen(systemFolder) + 1 + sizeof "chcp.com" > sizeof folder || !name)
        return -1;
    addTrailingSeparator(strcpy(folder, systemFolder));
    // cmd expands %NAME% on its command line even between quotes, and
    // nothing there escapes a '%'; the script's own name holds none.
    bool relative = strchr(scriptPath, '%') != nullptr;
    // With /s cmd drops only the outer pair of quotes, and the rest keeps
    // its quotes: '&', '^' and brackets in a path stay part of it. chcp
    // goes by its full path, since the current directory is the user's
    // temporary folder, where any program of the user could put a chcp of
    // its own for the elevated interpreter to run.
    bool fits = appendText(application, MAX_PATH_BYTES, folder) == 0 &&
                appendText(application, MAX_PATH_BYTES, "cmd.exe") == 0 &&
                appendText(commandLine, size, "cmd.exe /d /v:off /s /c \"\"") == 0 &&
                appendText(commandLine, size, folder) == 0 &&
                appendText(commandLine, size, "chcp.com\" 932 >nul & \"") == 0 &&
                appendText(commandLine, size, relative ? "." : scriptPath) == 0 &&
                (!relative || appendText(commandLine, size, name) == 0) &&
                appendText(commandLine, size, "\"\"") == 0;
    if (!fits) {
        application[0] = commandLine[0] = '\0';
        return -1;
    }
    return 0;
}
