// install.env as the settings reader sees it: any bytes, any line lengths.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "env/settings_keys.h"
#include "env/settings_table.h"
#include "native/support/temp_file.h"
#include "resfile/resource_opener.h"

namespace {

// A value found is one token: no separators, cut to the capacity.
void checkValue(const char* key, size_t capacity)
{
    char value[260];
    lookupSetting(key, value, capacity, "");
    size_t length = strlen(value);
    if (length >= capacity)
        abort();
    for (size_t i = 0; i < length; ++i) {
        if ((unsigned char)value[i] <= 0x20 && value[i] != ' ')
            abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    setPlainPathsAllowed(1);
    TempFile file(data, size);
    if (readSettingsTable(file.path()) != 0)
        abort();

    // The first token of the input is the likeliest key to be stored.
    char key[64] = "";
    size_t keyLength = 0;
    while (keyLength < size && keyLength < sizeof key - 1 && data[keyLength] > 0x20)
        ++keyLength;
    memcpy(key, data, keyLength);
    key[keyLength] = '\0';
    checkValue(key, 128);
    checkValue(key, 260);
    checkValue(key, 1);

    settingRegGlobal();
    settingIniSection();
    uninstallTitle();
    settingInstGroup();
    settingInstFolder();

    releaseSettingsTable();
    resetSettingsKeysCache();
    return 0;
}
