#include "harness/inventory.h"

#include <shlobj.h>
#include <string.h>

#include <algorithm>
#include <iterator>

#include "harness/driver.h"

namespace harness {

namespace {

void listFiles(const std::string& root, const std::string& relative, const std::string& tag, Inventory& out)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + "\\" + relative + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, ".."))
            continue;
        std::string name = relative + found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            out.insert(tag + name);
            continue;
        }
        out.insert(tag + name + "\\");
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            listFiles(root, name + "\\", tag, out);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Every open below a key names the key's view again, as Windows asks.
void listKey(HKEY key, const std::string& relative, const std::string& tag, REGSAM view, Inventory& out)
{
    char name[1024];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, i, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        out.insert(tag + relative + "=" + name);
    }
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        std::string below = relative + name + "\\";
        out.insert(tag + below);
        HKEY sub;
        if (RegOpenKeyExA(key, name, 0, KEY_READ | view, &sub) == ERROR_SUCCESS) {
            listKey(sub, below, tag, view, out);
            RegCloseKey(sub);
        }
    }
}

// Runs a host program (Wine starts host executables too) and waits until
// done() holds.
template <class F>
bool runOnHost(const char* program, std::string commandLine, F done)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(program, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waitFor(done, 3000);
}

// The host's name for a path, through Wine's own export; empty elsewhere.
std::string hostPath(const std::string& path)
{
    typedef char*(CDECL * ToUnix)(LPCWSTR);
    ToUnix toUnix = (ToUnix)(void*)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    wchar_t wide[MAX_PATH];
    if (!toUnix || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return "";
    char* unixPath = toUnix(wide);
    std::string out = unixPath ? unixPath : "";
    HeapFree(GetProcessHeap(), 0, unixPath);
    return out;
}

std::string driveRoot(char letter)
{
    return std::string(1, letter) + ":\\";
}

// Wine keeps its drive letters as host links in dosdevices, beside c:.
std::string hostDriveLink(char letter)
{
    std::string c = hostPath("C:\\");
    size_t at = c.rfind("/c:");
    return at == std::string::npos ? "" : c.substr(0, at + 1) + (char)tolower(letter) + ":";
}

}  // namespace

Inventory fileInventory(const std::string& folder, const std::string& tag)
{
    Inventory out;
    listFiles(folder, "", tag, out);
    return out;
}

Inventory registryInventory(HKEY root, const std::string& path, const std::string& tag, REGSAM view)
{
    Inventory out;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) == ERROR_SUCCESS) {
        listKey(key, "", tag, view, out);
        RegCloseKey(key);
    }
    return out;
}

Inventory iniInventory(const std::string& path, const std::string& tag)
{
    Inventory out;
    std::string section;
    std::string text = readFile(path);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line[0] == '[')
            section = line;
        out.insert(tag + (line[0] == '[' ? line : section + line));
    }
    return out;
}

Inventory minus(const Inventory& a, const Inventory& b)
{
    Inventory out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::inserter(out, out.end()));
    return out;
}

bool registryKeyExists(HKEY root, const std::string& path, REGSAM view)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void setRegistryValue(HKEY root, const std::string& path, const char* name, const char* data, REGSAM view)
{
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS | view, NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    if (name)
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)data, (DWORD)strlen(data) + 1);
    RegCloseKey(key);
}

void deleteRegistryTree(HKEY root, const std::string& path, REGSAM view)
{
    // RegDeleteTree takes no view: empty the key through a handle opened in
    // the view, then delete it there.
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
        RegDeleteTreeA(key, NULL);
        RegCloseKey(key);
    }
    RegDeleteKeyExA(root, path.c_str(), view, 0);
}

std::string shellFolderPath(int csidl)
{
    char path[MAX_PATH];
    return SHGetFolderPathA(NULL, csidl, NULL, 0, path) == S_OK ? path : "";
}

bool isLink(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void removeLink(const std::string& link)
{
    // Wine's own calls reach a host link's target: the host removes it.
    std::string host = hostPath(link);
    if (!host.empty())
        runOnHost("Z:\\bin\\rm", "rm -f \"" + host + "\"", [&] { return !isLink(link); });
    else if (!RemoveDirectoryA(link.c_str()))
        DeleteFileA(link.c_str());
}

bool makeDirectoryLink(const std::string& link, const std::string& target)
{
    // Wine's own folder links lead nowhere, but it shows a host link as one
    // and follows it.
    std::string from = hostPath(target), to = hostPath(link);
    if (!from.empty() && !to.empty())
        return runOnHost("Z:\\bin\\ln", "ln -s \"" + from + "\" \"" + to + "\"", [&] { return isLink(link); });
    return CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && isLink(link);
}

bool mapDrive(char letter, const std::string& folder)
{
    std::string root = driveRoot(letter);
    char device[3] = {letter, ':', '\0'};
    if (GetFileAttributesA(root.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;  // taken: never shadowed
    if (DefineDosDeviceA(0, device, folder.c_str())) {
        if (GetFileAttributesA(root.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, device, folder.c_str());
    }
    std::string from = hostPath(folder), to = hostDriveLink(letter);
    return !from.empty() && !to.empty() &&
           runOnHost("Z:\\bin\\ln", "ln -sfn \"" + from + "\" \"" + to + "\"",
                     [&] { return GetFileAttributesA(root.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

void unmapDrive(char letter, const std::string& folder)
{
    std::string root = driveRoot(letter);
    char device[3] = {letter, ':', '\0'};
    DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, device, folder.c_str());
    std::string link = hostDriveLink(letter);
    if (!link.empty() && GetFileAttributesA(root.c_str()) != INVALID_FILE_ATTRIBUTES)
        runOnHost("Z:\\bin\\rm", "rm -f \"" + link + "\"",
                  [&] { return GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

std::vector<std::string> removalsAtRestart(const std::string& prefix, bool clear)
{
    const char* key = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    const char* value = "PendingFileRenameOperations";
    std::vector<std::string> names;
    HKEY manager;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &manager) != ERROR_SUCCESS)
        return names;
    std::vector<char> data(65536);
    DWORD size = (DWORD)data.size();
    if (RegQueryValueExA(manager, value, NULL, NULL, (BYTE*)data.data(), &size) == ERROR_SUCCESS) {
        for (const char* p = data.data(); p < data.data() + size && *p; p += strlen(p) + 1) {
            std::string from = p;
            p += strlen(p) + 1;
            if (from.compare(0, prefix.size(), prefix) == 0 && p < data.data() + size && !*p)
                names.push_back(from);
        }
    }
    if (clear)
        RegDeleteValueA(manager, value);
    RegCloseKey(manager);
    return names;
}

}  // namespace harness
