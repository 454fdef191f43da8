#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <vector>

#include "image/image_surface.h"
#include "image/rct_encode.h"
#include "image/rct_image.h"
#include "resfile/resource_opener.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(ImageSurface, RefusesSizesWithoutBitmap)
{
    EXPECT_EQ(createImageSurface(0, 1), nullptr);
    EXPECT_EQ(createImageSurface(1, 0), nullptr);
    EXPECT_EQ(createImageSurface(0x7FFFFFFF, 1), nullptr);
}

// Each test works in a folder of its own, made the current directory as
// the program's start-up does, so that plain names resolve there.
class RctImageLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof saved_, saved_);
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        snprintf(folder_, sizeof folder_, "%srct_load_%lu", temp, GetCurrentProcessId());
        CreateDirectoryA(folder_, nullptr);
        ASSERT_TRUE(SetCurrentDirectoryA(folder_));
        setPlainPathsAllowed(1);
    }
    void TearDown() override
    {
        DeleteFileA("picture.rct");
        SetCurrentDirectoryA(saved_);
        RemoveDirectoryA(folder_);
    }
    static void write(const Bytes& file)
    {
        FILE* f = fopen("picture.rct", "wb");
        ASSERT_NE(f, nullptr);
        fwrite(file.data(), 1, file.size(), f);
        fclose(f);
    }
    char saved_[MAX_PATH];
    char folder_[MAX_PATH];
};

Bytes pictureOf(int w, int h)
{
    Bytes px((size_t)w * h * 3);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = (unsigned char)(i * 7 % 251 / (i % 5 ? 1 : 3));
    return px;
}

// Files that are no picture, damaged, or short for good yield none (and
// the loader comes back rather than starting over for ever).
TEST_F(RctImageLoad, NoPictureFromBadFiles)
{
    Bytes good = encodeRctFile(pictureOf(6, 4).data(), 6, 4);
    Bytes wrongMagic = good;
    memcpy(wrongMagic.data(), "六丁8_00", 8);
    Bytes shortStream(good.begin(), good.end() - 1);
    Bytes shortHeader(good.begin(), good.begin() + 19);
    Bytes damaged = good;
    damaged[20 + 3] = 0xFC;  // first code: a copy from four rows up
    for (const Bytes& file : {wrongMagic, shortStream, shortHeader, damaged}) {
        write(file);
        EXPECT_EQ(loadRctImage("picture.rct"), nullptr);
    }
}

}  // namespace
