// envcheck: reports what the uninstaller would silently skip, cut or refuse
// in an install.env, and what an uninstall with the file would remove.
//   envcheck INSTALL.env
// Exit status: 0 clean, 1 warnings, 2 errors (or a file that does not open).
#include <stdio.h>

#include "envcheck_rules.h"

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '-') {
        fputs("usage: envcheck INSTALL.env\n"
              "Checks an install.env the way the uninstaller reads it: prints every line it\n"
              "would skip, cut or refuse (with its line number), then what an uninstall\n"
              "with the file would remove. Exit status: 0 clean, 1 warnings, 2 errors.\n",
              stderr);
        return 2;
    }
    envcheck::Report report = envcheck::checkInstallEnv(argv[1]);
    envcheck::printReport(stdout, argv[1], report);
    return envcheck::exitStatus(report);
}
