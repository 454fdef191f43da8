#include "uninstall/file_search_win.h"

#include <windows.h>

#include <string.h>

#include "uninstall/path.h"

namespace {

enum SearchState { SearchNone, SearchFirstPending, SearchIterating };

// The handle is open whenever the state is not SearchNone.
struct FileSearch {
    SearchState state;
    HANDLE handle;
    char pattern[MAX_PATH_BYTES];
    WIN32_FIND_DATAA found;
    char path[MAX_PATH_BYTES];
};

FileSearch g_search;

// A broken search that keeps failing must not hold the sweep for ever.
const int kMaxFailuresInARow = 1000;

void closeSearch()
{
    if (g_search.state != SearchNone)
        FindClose(g_search.handle);
    g_search.state = SearchNone;
}

}  // namespace

HANDLE(WINAPI* findFirstFile)(LPCSTR, LPWIN32_FIND_DATAA) = FindFirstFileA;
BOOL(WINAPI* findNextFile)(HANDLE, LPWIN32_FIND_DATAA) = FindNextFileA;

int startFileSearch(const char* pattern)
{
    closeSearch();
    size_t length = strlen(pattern);
    if (length >= sizeof g_search.pattern)
        return 1;
    memcpy(g_search.pattern, pattern, length + 1);
    g_search.handle = findFirstFile(pattern, &g_search.found);
    if (g_search.handle == INVALID_HANDLE_VALUE)
        return 1;
    g_search.state = SearchFirstPending;
    return 0;
}

const char* nextFoundFile()
{
    if (g_search.state == SearchNone)
        return nullptr;
    bool fresh = g_search.state == SearchFirstPending;
    g_search.state = SearchIterating;
    for (int failures = 0;;) {
        if (!fresh && !findNextFile(g_search.handle, &g_search.found)) {
            // A name whose ANSI form does not fit the record fails the call,
            // yet the search has moved past it: the files after it still go.
            if (GetLastError() == ERROR_NO_MORE_FILES || ++failures == kMaxFailuresInARow) {
                closeSearch();
                return nullptr;
            }
            continue;
        }
        fresh = false;
        failures = 0;
        // A path that would not fit is passed over, never cut.
        if (!(g_search.found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            buildFoundPath(g_search.path, g_search.pattern, g_search.found.cFileName) == 0)
            return g_search.path;
    }
}

const char* foundFileName()
{
    return g_search.found.cFileName;
}
