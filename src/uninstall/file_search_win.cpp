#include "uninstall/file_search_win.h"

#include <windows.h>

#include <string.h>

#include "uninstall/path.h"

namespace {

enum SearchState { SearchNone, SearchFirstPending, SearchIterating };

HANDLE g_search = INVALID_HANDLE_VALUE;
SearchState g_state = SearchNone;
char g_pattern[MAX_PATH_BYTES];
WIN32_FIND_DATAA g_found;
char g_path[MAX_PATH_BYTES];

void closeSearch()
{
    if (g_search != INVALID_HANDLE_VALUE)
        FindClose(g_search);
    g_search = INVALID_HANDLE_VALUE;
    g_state = SearchNone;
}

}  // namespace

int startFileSearch(const char* pattern)
{
    closeSearch();
    size_t length = strlen(pattern);
    if (length >= sizeof g_pattern)
        return 1;
    memcpy(g_pattern, pattern, length + 1);
    g_search = FindFirstFileA(g_pattern, &g_found);
    if (g_search == INVALID_HANDLE_VALUE)
        return 1;
    g_state = SearchFirstPending;
    return 0;
}

const char* nextFoundFile()
{
    if (g_state == SearchNone)
        return nullptr;
    bool fresh = g_state == SearchFirstPending;
    g_state = SearchIterating;
    for (;;) {
        if (!fresh && !FindNextFileA(g_search, &g_found)) {
            closeSearch();
            return nullptr;
        }
        fresh = false;
        // A path that would not fit is passed over, never cut.
        if (!(g_found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            buildFoundPath(g_path, g_pattern, g_found.cFileName) == 0)
            return g_path;
    }
}
