#include "uninstall/name_list.h"

#include <string.h>

namespace {

const int kNamesShown = 10;

// Whether name is already a line of text.
bool isListed(const char* text, const char* name)
{
    size_t length = strlen(name);
    for (const char* line = text; *line;) {
        const char* end = strchr(line, '\n');
        size_t lineLength = end ? (size_t)(end - line) : strlen(line);
        if (lineLength == length && memcmp(line, name, length) == 0)
            return true;
        if (!end)
            break;
        line = end + 1;
    }
    return false;
}

}  // namespace

void startNameList(NameList* list, char* text, size_t size)
{
    text[0] = '\0';
    *list = {text, size, 0, false};
}

void addListedName(NameList* list, const char* name)
{
    if (isListed(list->text, name))
        return;
    ++list->count;
    // Room stays for a last line "…", which a name too long for what is
    // left brings as an eleventh one does.
    size_t used = strlen(list->text);
    bool fits = list->count <= kNamesShown && used + 1 + strlen(name) + sizeof "\n…" <= list->size;
    if (fits) {
        if (used)
            strcat(list->text, "\n");
        strcat(list->text, name);
    } else if (!list->cut) {
        strcat(list->text, used ? "\n…" : "…");
        list->cut = true;
    }
}
