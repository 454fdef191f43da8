// The named settings of install.env, with their defaults.
#pragma once

const char* settingRegGlobal();   // REG_GLOBAL, default "-"
const char* settingRegLocal();    // REG_LOCAL, default "-"
const char* settingIniFile();     // INI_FILE, default "-"
const char* settingIniSection();  // INI_SECTION, default "-"
const char* settingTitle();       // TITLEBAR, default "ＴＡＶＥＬＯ アプリケーション"
const char* uninstallTitle();     // the title followed by " アンインストール"
const char* titleFolderName();    // the title, as the Start-menu folder's name
const char* settingInstGroup();   // INST_GROUP, nullptr when empty
const char* settingInstFolder();  // INSTFOL, nullptr when empty

// Forgets the values kept by the first four accessors, so that they are
// looked up again. Only for tests that read several tables in one process.
void resetSettingsKeysCache();
