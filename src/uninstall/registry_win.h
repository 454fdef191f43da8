// The registry and the INI file: the administrator check, the per-user key
// tree, the entry in the list of installed programs, one INI section.
#pragma once
#include <windows.h>

// The machine-wide root of the probe and of the uninstall entry.
// HKEY_LOCAL_MACHINE; tests point it elsewhere to meet a refusal.
extern HKEY machineRootKey;

// 0 when Software\<first>\<second> under the machine-wide root could be
// opened or created with full access (it stays), -1 when not.
int probeMachineKeyAccess(const char* first, const char* second);
// Deletes HKCU\Software\<first>\<second> with everything below it, then
// HKCU\Software\<first> if nothing is left in it. 0 when Software\<first>
// could be opened, -1 when not.
int removeUserRegistryTree(const char* first, const char* second);
// Deletes the subkey name of parent and everything below it: 1 when done,
// 0 when not. Nothing outside that subkey is ever touched.
int deleteKeyTree(HKEY parent, const char* name);
// Deletes the key "ZiViz<title>" of the list of installed programs.
void removeUninstallEntry();
// Removes the whole section from the INI file.
void removeIniSection(const char* file, const char* section);
