#include "image/rct_encode.h"

#include <stdint.h>
#include <string.h>

#include "image/rct_decode.h"

namespace {

const size_t MaxLiteralRun = 65535 + 128;
const size_t MaxCopy = 65535 + 4;

void putCount(std::vector<unsigned char>& out, size_t value)
{
    out.push_back((unsigned char)(value & 0xFF));
    out.push_back((unsigned char)(value >> 8));
}

void putInt32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back((unsigned char)(value >> shift));
}

// Pixels run and run again distance pixels back, counted up to limit.
size_t matchLength(const unsigned char* at, size_t distance, size_t limit)
{
    const unsigned char* from = at - distance * 3;
    size_t bytes = limit * 3;
    size_t same = 0;
    while (same + 8 <= bytes) {
        uint64_t a, b;
        memcpy(&a, at + same, 8);
        memcpy(&b, from + same, 8);
        if (a != b)
            break;
        same += 8;
    }
    while (same < bytes && at[same] == from[same])
        ++same;
    return same / 3;
}

void putLiteralRun(std::vector<unsigned char>& out, const unsigned char* first, size_t count)
{
    if (count <= 127) {
        out.push_back((unsigned char)(count - 1));
    } else {
        out.push_back(0x7F);
        putCount(out, count - 128);
    }
    out.insert(out.end(), first, first + count * 3);
}

void putCopy(std::vector<unsigned char>& out, int k, size_t count)
{
    unsigned char code = (unsigned char)(0x80 | k << 2);
    if (count <= 3) {
        out.push_back((unsigned char)(code | (count - 1)));
    } else {
        out.push_back(code | 3);
        putCount(out, count - 4);
    }
}

}  // namespace

std::vector<unsigned char> encodeRctStream(const unsigned char* pixels, int width, int height)
{
    std::vector<unsigned char> out;
    if (width < 1 || height < 1)
        return out;
    const size_t total = (size_t)width * height;
    int64_t offset[32];
    for (int k = 0; k < 32; ++k)
        offset[k] = rctCopyOffset(k, width);

    out.insert(out.end(), pixels, pixels + 3);
    size_t runStart = 1;
    size_t i = 1;
    while (i < total) {
        size_t limit = total - i < MaxCopy ? total - i : MaxCopy;
        size_t best = 0;
        int bestK = 0;
        for (int k = 0; k < 32 && best < limit; ++k) {
            if (offset[k] >= 0 || (uint64_t)-offset[k] > i)
                continue;
            size_t length = matchLength(pixels + i * 3, (size_t)-offset[k], limit);
            if (length > best) {
                best = length;
                bestK = k;
            }
        }
        if (best == 0) {
            ++i;
            if (i - runStart == MaxLiteralRun) {
                putLiteralRun(out, pixels + runStart * 3, i - runStart);
                runStart = i;
            }
            continue;
        }
        if (i > runStart)
            putLiteralRun(out, pixels + runStart * 3, i - runStart);
        putCopy(out, bestK, best);
        i += best;
        runStart = i;
    }
    if (i > runStart)
        putLiteralRun(out, pixels + runStart * 3, i - runStart);
    return out;
}

std::vector<unsigned char> encodeRctFile(const unsigned char* pixels, int width, int height,
                                         const char* name)
{
    std::vector<unsigned char> stream = encodeRctStream(pixels, width, height);
    const char* magic = name ? "六丁TC01" : "六丁TC00";
    std::vector<unsigned char> file(magic, magic + 8);
    putInt32(file, (uint32_t)width);
    putInt32(file, (uint32_t)height);
    putInt32(file, (uint32_t)stream.size());
    if (name) {
        size_t length = strlen(name);
        if (length > 65535)
            length = 65535;
        putCount(file, length);
        file.insert(file.end(), name, name + length);
    }
    file.insert(file.end(), stream.begin(), stream.end());
    return file;
}
