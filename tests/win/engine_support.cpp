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
    clearRemovalList(list);
    for (const std::string& entry : entries)
        appendRemovalEntry(list, entry.c_str());
}

}  // namespace harness
