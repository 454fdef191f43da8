#include "uninstall/registry_win.h"

#include <stdint.h>
#include <stdio.h>  // sprintf: every name is at most 127 bytes, every path fits
#include <stdlib.h>
#include <string.h>

#include "env/settings_keys.h"
#include "shell/report.h"

HKEY machineRootKey = HKEY_LOCAL_MACHINE;

namespace {

const size_t kKeyPathSize = 512;
// A key name holds at most 255 characters, two bytes each in a double-byte
// code page, and its terminator.
const DWORD kMaxNameBytes = 512;

// A name that resolves to the key itself (empty, or led by a separator that
// the registry skips) would make a deletion reach above it.
bool isSubkeyName(const char* name)
{
    return name[0] != '\0' && name[0] != '\\';
}

// machineRootKey\path, opened or created with full access; NULL when refused.
HKEY createMachineKey(const char* path)
{
    HKEY key;
    return RegCreateKeyExA(machineRootKey, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) == ERROR_SUCCESS
               ? key
               : NULL;
}

LONG queryKeyCounts(HKEY key, DWORD* subkeys, DWORD* longestName, DWORD* values)
{
    return RegQueryInfoKeyA(key, NULL, NULL, NULL, subkeys, longestName, NULL, values, NULL, NULL, NULL, NULL);
}

}  // namespace

int probeMachineKeyAccess(const char* first, const char* second)
{
    char path[kKeyPathSize];
    sprintf(path, "Software\\%s\\%s", first, second);
    HKEY key = createMachineKey(path);
    if (!key)
        return -1;
    RegCloseKey(key);
    return 0;
}

int removeUserRegistryTree(const char* first, const char* second)
{
    if (!isSubkeyName(first))
        return -1;
    char path[kKeyPathSize];
    sprintf(path, "Software\\%s", first);
    int result = -1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        deleteKeyTree(key, second);
        result = 0;
        RegCloseKey(key);
    }

    // The first-level key goes too once no other application keeps
    // anything in it.
    HKEY software;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &software) != ERROR_SUCCESS)
        return result;
    if (RegOpenKeyExA(software, first, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        DWORD subkeys, values;
        LONG queried = queryKeyCounts(key, &subkeys, NULL, &values);
        if (RegCloseKey(key) == ERROR_SUCCESS && queried == ERROR_SUCCESS && subkeys == 0 && values == 0)
            RegDeleteKeyA(software, first);
    }
    RegCloseKey(software);
    return result;
}

int deleteKeyTree(HKEY parent, const char* name)
{
    HKEY key;
    if (!isSubkeyName(name) || RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    DWORD count, longest;
    int done = queryKeyCounts(key, &count, &longest, NULL) == ERROR_SUCCESS;
    if (done && count > 0) {
        // Every name is collected before any is deleted: deleting shifts
        // the indexes of the enumeration.
        DWORD slot = longest < kMaxNameBytes / 2 ? 2 * longest + 2 : kMaxNameBytes;
        char* names = count <= SIZE_MAX / slot ? (char*)allocOrReport((size_t)count * slot) : nullptr;
        done = names != nullptr;
        for (DWORD i = 0; done && i < count; ++i) {
            char* entry = names + (size_t)i * slot;
            DWORD length = slot;
            LONG status = RegEnumKeyExA(key, i, entry, &length, NULL, NULL, NULL, NULL);
            // A slot that a vanished or renamed subkey left empty or cut
            // short is passed over below.
            if (status != ERROR_SUCCESS)
                entry[0] = '\0';
            done = status == ERROR_SUCCESS || status == ERROR_MORE_DATA || status == ERROR_NO_MORE_ITEMS;
        }
        for (DWORD i = 0; done && i < count; ++i) {
            const char* entry = names + (size_t)i * slot;
            if (entry[0] && !deleteKeyTree(key, entry))
                done = 0;
        }
        free(names);
    }
    if (RegCloseKey(key) != ERROR_SUCCESS || !done)
        return 0;
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}

void removeUninstallEntry()
{
    char name[kKeyPathSize];
    sprintf(name, "ZiViz%s", settingTitle());
    // One deletion, not a tree's: an entry that holds subkeys stays.
    if (HKEY key = createMachineKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\")) {
        RegDeleteKeyA(key, name);
        RegCloseKey(key);
    }
}

void removeIniSection(const char* file, const char* section)
{
    WritePrivateProfileStringA(section, NULL, NULL, file);
}
