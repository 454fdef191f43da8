// Driver helpers for what an uninstall leaves behind: files, registry keys
// and values, shell folders and INI sections, each as a set of names so
// that a before/after pair shows exactly what went. Also directory links
// and drive letters, made through Wine's host when the platform itself
// has none.
#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "harness/registry_view.h"

namespace harness {

using Inventory = std::set<std::string>;

// Every file and folder below folder as tag + relative path; folders end
// in '\'. Links are listed, not followed.
Inventory fileInventory(const std::string& folder, const std::string& tag = "");
// Every subkey (tag + "a\b\") and value (tag + "a\b\=name") below root\path.
// The registry functions work in the given view of HKEY_LOCAL_MACHINE.
Inventory registryInventory(HKEY root, const std::string& path, const std::string& tag = "",
                            REGSAM view = kProgramView);
// Inventory of an INI file: tag + "[section]" and tag + "[section]key=value".
Inventory iniInventory(const std::string& path, const std::string& tag = "");
// The entries of a that b lacks.
Inventory minus(const Inventory& a, const Inventory& b);

// The session manager's list of what goes at the next restart: the names
// below prefix, each deletion's own name (its new name is empty), in order;
// with clear, the list is emptied.
std::vector<std::string> removalsAtRestart(const std::string& prefix, bool clear);

bool registryKeyExists(HKEY root, const std::string& path, REGSAM view = kProgramView);
// Creates the key (and the keys on its way); sets the value unless name is null.
void setRegistryValue(HKEY root, const std::string& path, const char* name = "v", const char* data = "x",
                      REGSAM view = kProgramView);
void deleteRegistryTree(HKEY root, const std::string& path, REGSAM view = kProgramView);

// The path of a shell folder (a CSIDL_ constant), empty when unknown.
std::string shellFolderPath(int csidl);

bool isLink(const std::string& path);
// Removes the link at path itself, never what it leads to.
void removeLink(const std::string& link);
// A directory symbolic link at link to target; false when none can be made.
bool makeDirectoryLink(const std::string& link, const std::string& target);
// Makes X: (letter 'X') show folder to every process; false when it cannot
// or the letter is taken.
bool mapDrive(char letter, const std::string& folder);
void unmapDrive(char letter, const std::string& folder);

}  // namespace harness
