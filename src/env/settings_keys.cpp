#include "env/settings_keys.h"

#include <string.h>

#include "env/settings_table.h"

namespace {

const size_t kValueSize = 128;
const char kNone[] = "-";
const char kDefaultTitle[] = "ＴＡＶＥＬＯ アプリケーション";
const char kUninstallSuffix[] = " アンインストール";

char g_regGlobal[kValueSize];
char g_regLocal[kValueSize];
char g_iniFile[kValueSize];
char g_iniSection[kValueSize];
char g_title[kValueSize];
char g_uninstallTitle[256];
char g_instGroup[kValueSize];
char g_instFolder[kValueSize];

// A stored value is never empty and the default is "-", so the lookup
// happens once.
const char* cachedSetting(const char* key, char* buffer)
{
    if (buffer[0] == '\0')
        lookupSetting(key, buffer, kValueSize, kNone);
    return buffer;
}

const char* settingOrNone(const char* key, char* buffer)
{
    lookupSetting(key, buffer, kValueSize, "");
    return buffer[0] != '\0' ? buffer : nullptr;
}

}  // namespace

const char* settingRegGlobal()
{
    return cachedSetting("REG_GLOBAL", g_regGlobal);
}

const char* settingRegLocal()
{
    return cachedSetting("REG_LOCAL", g_regLocal);
}

const char* settingIniFile()
{
    return cachedSetting("INI_FILE", g_iniFile);
}

const char* settingIniSection()
{
    return cachedSetting("INI_SECTION", g_iniSection);
}

const char* settingTitle()
{
    return lookupSetting("TITLEBAR", g_title, kValueSize, kDefaultTitle);
}

const char* uninstallTitle()
{
    // At most 127 bytes of title and the suffix always fit.
    const char* title = settingTitle();
    size_t length = strlen(title);
    memcpy(g_uninstallTitle, title, length);
    memcpy(g_uninstallTitle + length, kUninstallSuffix, sizeof kUninstallSuffix);
    return g_uninstallTitle;
}

const char* titleFolderName()
{
    return settingTitle();
}

const char* settingInstGroup()
{
    return settingOrNone("INST_GROUP", g_instGroup);
}

const char* settingInstFolder()
{
    return settingOrNone("INSTFOL", g_instFolder);
}

void resetSettingsKeysCache()
{
    g_regGlobal[0] = '\0';
    g_regLocal[0] = '\0';
    g_iniFile[0] = '\0';
    g_iniSection[0] = '\0';
}
