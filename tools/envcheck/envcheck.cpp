// envcheck: reports what the uninstaller would silently skip, cut or refuse
// in an install.env, and what an uninstall with the file would remove.
//   envcheck [--raw] INSTALL.env
//   envcheck --version
// Exit status: 0 clean, 1 warnings, 2 errors (or a file that does not open).
#include <stdio.h>
#include <string.h>

#include "envcheck_rules.h"
#include "terminal_text.h"
#include "version.h"

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--version") == 0)
        return printf("envcheck %s\n", UNINST_VERSION) < 0;
    bool raw = argc == 3 && strcmp(argv[1], "--raw") == 0;
    const char* path = argv[argc - 1];
    if (argc != 2 + raw || path[0] == '-') {
        fputs("usage: envcheck [--raw] INSTALL.env\n"
              "       envcheck --version\n"
              "Checks an install.env the way the uninstaller reads it: prints every line it\n"
              "would skip, cut or refuse (with its line number), then what an uninstall\n"
              "with the file would remove. The file's texts are printed in the terminal's\n"
              "character set; --raw prints them as they are (Shift-JIS).\n"
              "Exit status: 0 clean, 1 warnings, 2 errors.\n",
              stderr);
        return 2;
    }
    envcheck::Report report = envcheck::checkInstallEnv(path);
    if (!raw)
        envcheck::convertForTerminal(report);
    envcheck::printReport(stdout, path, report);
    return envcheck::exitStatus(report);
}
