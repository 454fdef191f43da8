#include "win/engine_support.h"

#include "env/settings_keys.h"
#include "env/settings_table.h"
#include "resfile/resource_opener.h"

namespace harness {

void useSettings(const std::string& installEnv)
{
    const char* path = "C:\\engine-env\\install.env";
    makePath("C:\\engine-env\\");
    writeFile(path, installEnv);
    setPlainPathsAllowed(1);
    releaseSettingsTable();
    resetSettingsKeysCache();
    readSettingsTable(path);
}

void setRemovalList(RemovalEntry** list, const std::vector<std::string>& entries)
{
    // Through the program's own reader, as install.env gives them.
    std::string text = list == &delfilesList ? "[delfiles]\r\n" : "[delfiles_user]\r\n";
    for (const std::string& entry : entries)
        text += entry + "\r\n";
    const char* path = "C:\\engine-env\\lists.env";
    makePath("C:\\engine-env\\");
    writeFile(path, text + "-\r\n");
    readRemovalLists(path);
}

}  // namespace harness
