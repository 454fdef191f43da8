#include <gtest/gtest.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <random>
#include <string>
#include <vector>

#include "image/rct_decode.h"
#include "image/rct_encode.h"

namespace {

using Bytes = std::vector<unsigned char>;

void put32(Bytes& b, uint32_t v)
{
    for (int s = 0; s < 32; s += 8)
        b.push_back((unsigned char)(v >> s));
}

// A file with the given magic, size fields and stream; S is the stream's
// length unless given. name >= 0 writes a TC01 name of that many bytes.
Bytes makeFile(const char* magic, int32_t w, int32_t h, const Bytes& stream, int name = -1,
               int64_t dataSize = -1)
{
    Bytes f(magic, magic + 8);
    put32(f, (uint32_t)w);
    put32(f, (uint32_t)h);
    put32(f, (uint32_t)(dataSize >= 0 ? dataSize : (int64_t)stream.size()));
    if (name >= 0) {
        f.push_back((unsigned char)name);
        f.push_back((unsigned char)(name >> 8));
        for (int i = 0; i < name; ++i)
            f.push_back((unsigned char)(0x80 + i));
    }
    f.insert(f.end(), stream.begin(), stream.end());
    return f;
}

Bytes plain(int32_t w, int32_t h, const Bytes& stream, int64_t dataSize = -1)
{
    return makeFile("六丁TC00", w, h, stream, -1, dataSize);
}

Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// n pixels whose bytes count up from first.
Bytes counting(size_t n, unsigned first = 1)
{
    Bytes b(n * 3);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = (unsigned char)(first + i);
    return b;
}

// Splits and decodes into a buffer of exactly height·stride bytes, so that
// the sanitizer sees any write outside it. Rows come back without padding.
bool decodeFile(const Bytes& file, Bytes* pixels, int32_t stride = 0)
{
    RctHeader header = {};
    const unsigned char* stream;
    size_t streamSize;
    if (splitRctFile(file.data(), file.size(), &header, &stream, &streamSize) != 0)
        return false;
    size_t row = (size_t)header.width * 3;
    if (stride == 0)
        stride = (int32_t)row;
    // The stream in a block of its own, too, so a read past it is caught.
    unsigned char* in = (unsigned char*)malloc(streamSize ? streamSize : 1);
    memcpy(in, stream, streamSize);
    unsigned char* out = (unsigned char*)malloc((size_t)stride * header.height);
    int result = decodeRctStream(in, streamSize, header.width, header.height, out, stride);
    if (result == 0) {
        pixels->clear();
        for (int32_t y = 0; y < header.height; ++y)
            pixels->insert(pixels->end(), out + (size_t)stride * y, out + (size_t)stride * y + row);
    }
    free(in);
    free(out);
    return result == 0;
}

const Bytes kVectorStream = {0x01, 0x02, 0x03, 0x81, 0x00, 0x0A, 0x0B, 0x0C, 0xA7, 0x00, 0x00};
const Bytes kVectorRow = {1, 2, 3, 1, 2, 3, 1, 2, 3, 0x0A, 0x0B, 0x0C};

struct GoodCase {
    const char* what;
    Bytes file;
    Bytes pixels;
    int32_t stride;  // 0: 3·W
};

std::vector<GoodCase> goodCases()
{
    Bytes p = {9, 8, 7};
    Bytes lit128 = concat(concat(p, {0x7F, 0x00, 0x00}), counting(128));
    Bytes lit127 = concat(concat(p, {0x7E}), counting(127));
    Bytes fifteen = concat(p, concat({0x0D}, counting(14)));
    auto repeat = [](const Bytes& px, size_t n) {
        Bytes r;
        for (size_t i = 0; i < n; ++i)
            r.insert(r.end(), px.begin(), px.end());
        return r;
    };
    return {
        {"4x2 vector", plain(4, 2, kVectorStream), concat(kVectorRow, kVectorRow), 0},
        {"TC01 empty name", makeFile("六丁TC01", 4, 2, kVectorStream, 0), concat(kVectorRow, kVectorRow), 0},
        {"TC01 five-byte name", makeFile("六丁TC01", 4, 2, kVectorStream, 5), concat(kVectorRow, kVectorRow), 0},
        {"trailing bytes", plain(4, 2, concat(kVectorStream, {0x83, 0xFF, 0xFF, 0x7F})), concat(kVectorRow, kVectorRow), 0},
        {"bytes after the stream", concat(plain(4, 2, kVectorStream), {1, 2, 3}), concat(kVectorRow, kVectorRow), 0},
        {"0x7F count 0", plain(129, 1, lit128), concat(p, counting(128)), 0},
        {"0x7E", plain(128, 1, lit127), concat(p, counting(127)), 0},
        {"-1 copy of 4", plain(5, 1, concat(p, {0x83, 0x00, 0x00})), repeat(p, 5), 0},
        {"-1 copy of 65539", plain(65540, 1, concat(p, {0x83, 0xFF, 0xFF})), repeat(p, 65540), 0},
        {"width 5 stride 16", plain(5, 3, fifteen), concat(p, counting(14)), 16},
        {"1x1", plain(1, 1, p), p, 0},
        {"1x1 padded to 4", plain(1, 1, p), p, 4},
    };
}

TEST(RctDecode, Vectors)
{
    for (const GoodCase& c : goodCases()) {
        Bytes pixels;
        ASSERT_TRUE(decodeFile(c.file, &pixels, c.stride)) << c.what;
        EXPECT_EQ(pixels, c.pixels) << c.what;
    }
}

// Every entry of the copy-offset table as the format defines it (dx, dy):
// one copy of one pixel after 40 distinct literal pixels of an 8-pixel-wide
// picture must repeat the pixel at dx + 8·dy.
TEST(RctDecode, CopyOffsetTable)
{
    const int kTable[32][2] = {{-1, 0},  {-2, 0},  {-3, 0},  {-4, 0},  {-5, 0},  {-6, 0},  {3, -1},  {2, -1},
                               {1, -1},  {0, -1},  {-1, -1}, {-2, -1}, {-3, -1}, {3, -2},  {2, -2},  {1, -2},
                               {0, -2},  {-1, -2}, {-2, -2}, {-3, -2}, {3, -3},  {2, -3},  {1, -3},  {0, -3},
                               {-1, -3}, {-2, -3}, {-3, -3}, {2, -4},  {1, -4},  {0, -4},  {-1, -4}, {-2, -4}};
    const int w = 8, at = 40;
    for (int k = 0; k < 32; ++k) {
        Bytes stream = concat(concat({1, 2, 3, 38}, counting(39, 4)), {(unsigned char)(0x80 | k << 2), 6});
        Bytes pixels;
        ASSERT_TRUE(decodeFile(plain(w, 6, concat(stream, counting(7, 200))), &pixels)) << k;
        int from = at + kTable[k][0] + w * kTable[k][1];
        EXPECT_EQ(Bytes(&pixels[3 * at], &pixels[3 * at + 3]), Bytes(&pixels[3 * from], &pixels[3 * from + 3])) << k;
    }
}

struct BadCase {
    const char* what;
    Bytes file;
    bool bySplit;  // refused before the stream is looked at
};

std::vector<BadCase> badCases()
{
    Bytes p = {1, 2, 3};
    Bytes w1 = concat(concat(p, {0x03}), counting(4));  // W = 1: five pixels
    Bytes named5 = makeFile("六丁TC01", 1, 1, {}, 5, 3);  // S = 3 after a five-byte name
    return {
        {"wrong magic", makeFile("六丁8_00", 4, 2, kVectorStream), true},
        {"lower-case magic", makeFile("六丁tc00", 4, 2, kVectorStream), true},
        {"TC02", makeFile("六丁TC02", 4, 2, kVectorStream, 0), true},
        {"file shorter than a header", Bytes(kVectorStream), true},
        {"copy before pixel 0", plain(4, 2, concat(p, {0xA7, 0x03, 0x00})), false},
        {"copy four rows up before pixel 0", plain(4, 5, concat(concat(p, {0x04}), concat(counting(5), {0xFC, 0x83, 0x09, 0x00}))), false},
        {"positive offset", plain(1, 8, concat(w1, {0x98, 0x81})), false},
        {"zero offset", plain(1, 8, concat(w1, {0xD0, 0x81})), false},
        {"copy past the end", plain(4, 2, concat(p, {0x83, 0x04, 0x00})), false},
        {"literal past the end", plain(4, 1, concat(concat(p, {0x03}), counting(4))), false},
        {"stream ends before the picture", plain(4, 2, Bytes(kVectorStream.begin(), kVectorStream.end() - 3)), false},
        {"copy count byte missing", plain(5, 1, concat(p, {0x83, 0x01})), false},  // 0 would fill the picture
        {"literal count byte missing", plain(200, 1, concat(p, {0x7F, 0x00})), false},
        {"literal bytes missing", plain(4, 2, concat(p, {0x06, 1, 2, 3})), false},
        {"S below 3", plain(1, 1, {1, 2}), false},
        {"S beyond the file", plain(4, 2, kVectorStream, 12), true},
        {"name length cut off", concat(makeFile("六丁TC01", 4, 2, {}, -1, 11), {0}), true},
        {"name running past the end", Bytes(named5.begin(), named5.end() - 1), true},
        {"zero width", plain(0, 2, kVectorStream), true},
        {"negative height", plain(4, -2, kVectorStream), true},
        {"both sizes -1", plain(-1, -1, p), true},  // their product is 1
        {"3WH beyond 32 bits", plain(65536, 65536, kVectorStream), true},
        {"largest sizes", plain(0x7FFFFFFF, 0x7FFFFFFF, kVectorStream), true},
        {"over the size cap", plain(10000, 10000, kVectorStream), true},
    };
}

TEST(RctDecode, MalformedFails)
{
    for (const BadCase& c : badCases()) {
        Bytes pixels;
        EXPECT_FALSE(decodeFile(c.file, &pixels)) << c.what;
        RctHeader header = {1, 1, 3, 0};  // a picture's, as if left from another file
        const unsigned char* stream;
        size_t streamSize;
        if (c.bySplit) {
            EXPECT_EQ(splitRctFile(c.file.data(), c.file.size(), &header, &stream, &streamSize), -1) << c.what;
        }
    }
}

// The header's fields as the split reads them: the 32-bit sizes whole (a
// picture one pixel wide may be this tall), the name skipped, the stream
// no longer than the picture could ever need (4 bytes a pixel); the same
// record read again for a plain file.
TEST(RctDecode, SplitReadsTheHeader)
{
    Bytes tall = makeFile("六丁TC01", 1, 0x01000000, {1, 2, 3}, 2);
    RctHeader header = {};
    const unsigned char* stream;
    size_t streamSize;
    ASSERT_EQ(splitRctFile(tall.data(), tall.size(), &header, &stream, &streamSize), 0);
    EXPECT_TRUE(header.named);
    EXPECT_EQ(header.height, 0x01000000);
    EXPECT_EQ(stream, tall.data() + 24);
    Bytes generous = plain(2, 1, counting(7), 21);
    ASSERT_EQ(splitRctFile(generous.data(), generous.size(), &header, &stream, &streamSize), 0);
    EXPECT_EQ(streamSize, 8u);
}

// Pictures of three kinds: flat (copies longer than one code holds), noise
// (literal runs longer than one code holds), and rows that mostly repeat the
// row above, broken by short runs of short patterns (copies from every
// entry of the table).
Bytes makePicture(int kind, int w, int h, std::mt19937& rng)
{
    Bytes px((size_t)w * h * 3);
    unsigned period[5] = {};
    unsigned periodLength = 1, left = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            size_t i = (size_t)y * w + x;
            unsigned char* q = &px[i * 3];
            unsigned v = kind == 0 ? 0x336699 : rng();
            if (kind == 2 && y > 0 && rng() % 4 != 0) {
                memcpy(q, q - (size_t)w * 3, 3);
                continue;
            }
            if (kind == 2) {
                if (left == 0) {
                    periodLength = 1 + rng() % 5;
                    for (unsigned& c : period)
                        c = rng();
                    left = periodLength + rng() % 60;
                }
                --left;
                v = period[i % periodLength];
            }
            q[0] = (unsigned char)v;
            q[1] = (unsigned char)(v >> 8);
            q[2] = (unsigned char)(v >> 16);
        }
    }
    return px;
}

// One round trip through the project's own encoder over the three kinds:
// small shapes, a title picture with its name, and one long row; and the
// flat picture must come out as a few long copies.
TEST(RctEncode, RoundTrips)
{
    std::mt19937 rng(7);
    // 128 and 129 pixels wide: one literal run of 127 or 128 pixels, the
    // last short run and the first long one.
    const int sizes[][2] = {{1, 1}, {1, 5}, {2, 3}, {3, 2}, {5, 17}, {9, 8}, {128, 1}, {129, 1}, {400, 400}, {70001, 1}};
    for (int kind = 0; kind < 3; ++kind) {
        for (const auto& size : sizes) {
            int w = size[0], h = size[1];
            Bytes px = makePicture(kind, w, h, rng);
            Bytes file = encodeRctFile(px.data(), w, h, w == 400 ? "title" : nullptr);
            Bytes back;
            ASSERT_TRUE(decodeFile(file, &back)) << kind << ": " << w << "x" << h;
            EXPECT_TRUE(back == px) << kind << ": " << w << "x" << h;
        }
    }
    Bytes flat = makePicture(0, 400, 400, rng);
    EXPECT_LT(encodeRctStream(flat.data(), 400, 400).size(), 16u);

    // A row that repeats the one above but for its ninth byte: a copy from
    // above must stop before it.
    Bytes rows = makePicture(1, 8, 2, rng);
    memcpy(&rows[24], &rows[0], 24);
    rows[24 + 8] ^= 0xFF;
    Bytes back;
    ASSERT_TRUE(decodeFile(encodeRctFile(rows.data(), 8, 2), &back));
    EXPECT_TRUE(back == rows);
}

// The name is stored, cut at 65,535 bytes.
TEST(RctEncode, Name)
{
    const unsigned char px[3] = {1, 2, 3};
    Bytes titled = encodeRctFile(px, 1, 1, "title");
    EXPECT_EQ(Bytes(titled.begin() + 20, titled.begin() + 27), (Bytes{5, 0, 't', 'i', 't', 'l', 'e'}));
    const std::string longName(65536, 'n');
    Bytes cut = encodeRctFile(px, 1, 1, longName.c_str());
    EXPECT_EQ(cut[20] | cut[21] << 8, 65535);
    EXPECT_EQ(cut.size(), 22u + 65535 + 3);
}

}  // namespace
