// Shared by the uninstall engine's tests: settings from an install.env
// text, removal lists, and trees of real files with what is left of them.
#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "env/removal_lists.h"

namespace engine_test {

// Reads text as install.env into the settings table, replacing the last one.
void useSettings(const std::string& installEnv);
void setRemovalList(RemovalEntry** list, const std::vector<std::string>& entries);

// Creates the file (or, for a path ending in '\', the folder) and the
// folders on its way.
void makePath(const std::string& path);
// Every file and folder under folder, relative to it; folders end in '\'.
std::set<std::string> listTree(const std::string& folder);
void removeTree(const std::string& path);
std::string currentDirectory();

}  // namespace engine_test
