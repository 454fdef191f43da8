#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uninstall/name_list.h"

namespace {

// The names a box lists: each once however often it comes (a line is one
// whole name, not the start of another), ten at the most, then "…" once,
// and never past the text's room.
TEST(NameList, OnceEachTenAtMostWithinItsRoom)
{
    const std::vector<std::string> twelve = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"};
    const struct {
        std::vector<std::string> names;
        size_t size;
        const char* text;
        int count;
    } cases[] = {
        {{"a", "b", "a", "b"}, 100, "a\nb", 2},
        {{"ab", "a", "abc", "a"}, 100, "ab\na\nabc", 3},
        {twelve, 100, "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n…", 12},
        {{"aaaa", "bbbb", "cc"}, 12, "aaaa\n…", 3},
        {{"aaaa", "bbbb"}, 13, "aaaa\nbbbb", 2},
        {{"abcdef"}, 10, "…", 1},
        {{}, 1, "", 0},
    };
    for (const auto& c : cases) {
        std::vector<char> text(c.size, 'x');
        NameList list;
        startNameList(&list, text.data(), c.size);
        for (const std::string& name : c.names)
            addListedName(&list, name.c_str());
        EXPECT_STREQ(text.data(), c.text) << c.size;
        EXPECT_EQ(list.count, c.count) << c.text;
    }
}

}  // namespace
