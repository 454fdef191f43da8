#include "win/engine_support.h"

#include <stdio.h>
#include <string.h>

#include "env/settings_keys.h"
#include "env/settings_table.h"
#include "resfile/resource_opener.h"

namespace engine_test {

void useSettings(const std::string& installEnv)
{
    CreateDirectoryA("C:\\engine-env", NULL);
    const char* path = "C:\\engine-env\\install.env";
    FILE* f = fopen(path, "wb");
    fwrite(installEnv.data(), 1, installEnv.size(), f);
    fclose(f);
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

void makePath(const std::string& path)
{
    for (size_t i = 3; i < path.size(); ++i) {
        if (IsDBCSLeadByte((BYTE)path[i]))
            ++i;
        else if (path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), NULL);
    }
    if (path.back() != '\\') {
        FILE* f = fopen(path.c_str(), "wb");
        fputs(path.c_str(), f);
        fclose(f);
    }
}

namespace {

void listInto(const std::string& root, const std::string& relative, std::set<std::string>& out)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + "\\" + relative + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = relative + found.cFileName;
        if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, ".."))
            continue;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            out.insert(name);
        } else {
            out.insert(name + "\\");
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                listInto(root, name + "\\", out);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

std::set<std::string> listTree(const std::string& folder)
{
    std::set<std::string> out;
    listInto(folder, "", out);
    return out;
}

void removeTree(const std::string& path)
{
    // A folder sorts before everything inside it: backwards, each goes empty.
    std::set<std::string> names = listTree(path);
    names.insert("");
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        std::string full = name->empty() ? path : path + "\\" + *name;
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(full.c_str()))
            RemoveDirectoryA(full.c_str());
    }
}

std::string currentDirectory()
{
    char path[MAX_PATH];
    GetCurrentDirectoryA(sizeof path, path);
    return path;
}

}  // namespace engine_test
