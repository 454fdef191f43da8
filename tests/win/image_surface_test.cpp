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

struct StrideCase {
    int width;
    int stride;
};

TEST(ImageSurface, HeaderAndStride)
{
    const StrideCase cases[] = {{1, 4}, {3, 12}, {4, 12}, {5, 16}, {100, 300}};
    for (const StrideCase& c : cases) {
        ImageSurface* s = createImageSurface(c.width, 2);
        ASSERT_NE(s, nullptr) << c.width;
        EXPECT_EQ(s->width, c.width);
        EXPECT_EQ(s->height, 2);
        EXPECT_EQ(s->stride, c.stride);
        BITMAPINFOHEADER expected = {};
        expected.biSize = 40;
        expected.biWidth = c.width;
        expected.biHeight = -2;
        expected.biPlanes = 1;
        expected.biBitCount = 24;
        expected.biCompression = BI_RGB;
        EXPECT_EQ(memcmp(s->bitmapInfo, &expected, 40), 0) << c.width;
        // The platform agrees on the row size; the first row in memory is
        // the top one, blue first.
        DIBSECTION dib;
        ASSERT_EQ(GetObjectA(s->bitmap, sizeof dib, &dib), (int)sizeof dib);
        EXPECT_EQ(dib.dsBm.bmWidthBytes, c.stride);
        EXPECT_EQ(dib.dsBm.bmBits, s->bits);
        memset(s->bits, 0x5A, (size_t)s->stride * s->height);
        s->bits[0] = 1, s->bits[1] = 2, s->bits[2] = 3;
        GdiFlush();
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, s->bitmap);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(3, 2, 1)) << c.width;
        EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0x5A, 0x5A, 0x5A)) << c.width;
        SelectObject(dc, old);
        DeleteDC(dc);
        freeImageSurface(s);
    }
    freeImageSurface(nullptr);
}

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

// An odd width: rows padded to the surface's stride; a name to skip.
TEST_F(RctImageLoad, DecodesIntoTheSurfaceAtItsStride)
{
    const int w = 5, h = 3;
    Bytes px = pictureOf(w, h);
    write(encodeRctFile(px.data(), w, h, "タイトル画像"));
    ImageSurface* s = loadRctImage("picture.rct");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->width, w);
    EXPECT_EQ(s->height, h);
    for (int y = 0; y < h; ++y)
        EXPECT_EQ(memcmp(s->bits + (size_t)s->stride * y, &px[(size_t)w * 3 * y], (size_t)w * 3), 0) << "row " << y;
    freeImageSurface(s);
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
