// The engine's inputs for the Win32 tests: settings from an install.env
// text and removal lists given as entries.
#pragma once
#include <string>
#include <vector>

#include "env/removal_lists.h"
#include "harness/driver.h"
#include "harness/inventory.h"

namespace harness {

// Reads text as install.env into the settings table, replacing the last one.
void useSettings(const std::string& installEnv);
void setRemovalList(RemovalEntry** list, const std::vector<std::string>& entries);

}  // namespace harness
