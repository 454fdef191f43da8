#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "harness/driver.h"
#include "image/rct_image.h"
#include "resfile/resource_opener.h"

using namespace harness;

namespace {

// Files that are no picture, damaged, or short for good yield none (and
// the loader comes back rather than starting over for ever). The folder is
// made the current directory, as the program's start-up does, so that the
// plain name resolves there.
TEST(RctImageLoad, NoPictureFromBadFiles)
{
    const std::string folder = freshFolder("rct_load");
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    setPlainPathsAllowed(1);
    const std::string good = titlePicture(6, 4);
    std::string wrongMagic = good, damaged = good;
    memcpy(&wrongMagic[0], "六丁8_00", 8);
    damaged[20 + 3] = (char)0xFC;  // first code: a copy from four rows up
    for (const std::string& file : {wrongMagic, good.substr(0, good.size() - 1), good.substr(0, 19), damaged}) {
        writeFile("picture.rct", file);
        EXPECT_EQ(loadRctImage("picture.rct"), nullptr);
    }
    SetCurrentDirectoryA(saved);
    removeTree(folder);
}

}  // namespace
