#include "image/rct_decode.h"

#include <string.h>

namespace {

// The 32 copy sources, relative to the next pixel: six to the left in the
// same row, then seven each in the three rows above, five in the fourth.
// An offset reaching past a row's start or end runs on into the next row.
const signed char kCopyDx[32] = {
    -1, -2, -3, -4, -5, -6,
    3, 2, 1, 0, -1, -2, -3,
    3, 2, 1, 0, -1, -2, -3,
    3, 2, 1, 0, -1, -2, -3,
    2, 1, 0, -1, -2,
};
const unsigned char kCopyDy[32] = {
    0, 0, 0, 0, 0, 0,
    1, 1, 1, 1, 1, 1, 1,
    2, 2, 2, 2, 2, 2, 2,
    3, 3, 3, 3, 3, 3, 3,
    4, 4, 4, 4, 4,
};

unsigned readCount(const unsigned char* p)
{
    return p[0] | (unsigned)p[1] << 8;
}

int32_t readInt32(const unsigned char* p)
{
    return (int32_t)(p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}

// Copies length bytes to dst from distance bytes behind it with the result
// of a byte-by-byte forward copy, so that an overlapping copy repeats what
// it has just written. room is how many bytes from dst may be written.
//
// Short copies, the bulk of a detailed picture, are written in whole blocks
// that may run past the copy's end: the codes that follow overwrite those
// bytes before anything reads them, and room keeps them inside the picture.
inline void copyBehind(unsigned char* dst, size_t distance, size_t length, size_t room)
{
    const unsigned char* src = dst - distance;
    if (length <= 48 && room >= 64) {
        if (distance >= 16) {
            // Up to 16 pixels in three blocks, no branch; each block reads
            // only bytes written before it.
            memcpy(dst, src, 16);
            memcpy(dst + 16, src + 16, 16);
            memcpy(dst + 32, src + 32, 16);
        } else {
            // A source one to five pixels back: its period fits one block,
            // which is stored again every period; what each store carries
            // past the period the next one overwrites. Most such copies
            // need no more than four stores, and a fixed four spare the
            // mispredicted loop end that costs more than the extra stores.
            unsigned char period[16];
            memcpy(period, src, 16);
            for (size_t i = 0; i < 4; ++i)
                memcpy(dst + i * distance, period, 16);
            for (size_t i = 4 * distance; i < length; i += distance)
                memcpy(dst + i, period, 16);
        }
        return;
    }
    if (distance >= length) {
        memcpy(dst, src, length);
        return;
    }
    // Overlapping: everything from src up to the bytes written so far
    // repeats with period distance, so each round may copy all of it at
    // once; the blocks double and never overlap.
    size_t done = 0;
    while (done < length) {
        size_t block = done + distance;
        if (block > length - done)
            block = length - done;
        memcpy(dst + done, src, block);
        done += block;
    }
}

}  // namespace

int64_t rctCopyOffset(int k, int32_t width)
{
    return kCopyDx[k] - (int64_t)kCopyDy[k] * width;
}

int parseRctHeader(const unsigned char* bytes, RctHeader* header)
{
    // 六丁TC00 and 六丁TC01 in Shift-JIS, written as bytes: the fuzz build's
    // compiler reads "六丁" as UTF-8 and would never find the magic.
    static const char kMagicPlain[] = "\x98\x5A\x92\x9A" "TC00";
    static const char kMagicNamed[] = "\x98\x5A\x92\x9A" "TC01";
    if (memcmp(bytes, kMagicPlain, 8) == 0)
        header->named = 0;
    else if (memcmp(bytes, kMagicNamed, 8) == 0)
        header->named = 1;
    else
        return -1;
    header->width = readInt32(bytes + 8);
    header->height = readInt32(bytes + 12);
    header->dataSize = (uint32_t)readInt32(bytes + 16);
    return 0;
}

uint32_t rctPixelBytes(int32_t width, int32_t height)
{
    if (width < 1 || height < 1)
        return 0;
    uint64_t bytes = (uint64_t)width * (uint64_t)height * 3;
    return bytes <= RctMaxPixelBytes ? (uint32_t)bytes : 0;
}

uint32_t rctUsefulStreamBytes(uint32_t dataSize, uint32_t pixelBytes)
{
    uint32_t useful = pixelBytes / 3 * 4;
    return dataSize < useful ? dataSize : useful;
}

int splitRctFile(const unsigned char* file, size_t size, RctHeader* header,
                 const unsigned char** stream, size_t* streamSize)
{
    if (size < RctHeaderSize || parseRctHeader(file, header) != 0)
        return -1;
    uint32_t pixelBytes = rctPixelBytes(header->width, header->height);
    if (pixelBytes == 0)
        return -1;
    size_t at = RctHeaderSize;
    if (header->named) {
        if (size - at < 2)
            return -1;
        at += 2 + readCount(file + at);
    }
    size_t useful = rctUsefulStreamBytes(header->dataSize, pixelBytes);
    if (at > size || size - at < useful)
        return -1;
    *stream = file + at;
    *streamSize = useful;
    return 0;
}

int decodeRctStream(const unsigned char* stream, size_t streamSize, int32_t width, int32_t height,
                    unsigned char* pixels, int32_t stride)
{
    const size_t end = rctPixelBytes(width, height);
    const size_t rowBytes = (size_t)width * 3;
    if (end == 0 || stride < 0 || (size_t)stride < rowBytes || streamSize < 3)
        return -1;

    // Distances in bytes back to each copy source; 0 marks the entries that
    // do not point behind (only in pictures narrower than 4 pixels).
    size_t distance[32];
    for (int k = 0; k < 32; ++k) {
        int64_t back = -rctCopyOffset(k, width) * 3;
        distance[k] = back > 0 ? (size_t)back : 0;
    }

    memcpy(pixels, stream, 3);
    size_t out = 3;
    size_t in = 3;
    while (out < end) {
        if (in >= streamSize)
            return -1;
        unsigned code = stream[in++];
        size_t count;
        if (code < 0x80) {
            count = code + 1;
            if (code == 0x7F) {
                if (streamSize - in < 2)
                    return -1;
                count = readCount(stream + in) + 128;
                in += 2;
            }
            size_t length = count * 3;
            if (length > end - out || length > streamSize - in)
                return -1;
            // Short runs as three fixed blocks, like short copies: the bytes
            // carried past the run are overwritten by the codes that follow.
            if (length <= 48 && end - out >= 64 && streamSize - in >= 48) {
                memcpy(pixels + out, stream + in, 16);
                memcpy(pixels + out + 16, stream + in + 16, 16);
                memcpy(pixels + out + 32, stream + in + 32, 16);
            } else {
                memcpy(pixels + out, stream + in, length);
            }
            in += length;
            out += length;
        } else {
            // The two bytes of a long count are read whether or not the
            // code has them, so that choosing takes no branch.
            unsigned shortCount = code & 3;
            unsigned wide = shortCount == 3;
            if (streamSize - in < 2 * wide)
                return -1;
            unsigned longCount = streamSize - in >= 2 ? readCount(stream + in) : 0;
            count = wide ? longCount + 4 : shortCount + 1;
            in += 2 * wide;
            size_t back = distance[(code >> 2) & 31];
            size_t length = count * 3;
            if (back == 0 || back > out || length > end - out)
                return -1;
            copyBehind(pixels + out, back, length, end - out);
            out += length;
        }
    }

    // Spread the rows out to the stride, the last row first so that no row
    // is overwritten before it has moved.
    if ((size_t)stride != rowBytes) {
        for (int32_t y = height - 1; y > 0; --y)
            memmove(pixels + (size_t)stride * y, pixels + rowBytes * y, rowBytes);
    }
    return 0;
}
