// Whole RCT files: header, name and stream parsed, then the stream decoded
// into a buffer of exactly the picture's rows at the bitmap stride. Pictures
// that come out whole are encoded again and must decode to the same pixels.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "image/rct_decode.h"
#include "image/rct_encode.h"

namespace {

// Bigger pictures are parsed but not decoded, to keep each run short.
const size_t MaxFuzzPixelBytes = 1 << 22;
const size_t MaxRoundTripPixelBytes = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RctHeader header;
    const unsigned char* stream;
    size_t streamSize;
    if (splitRctFile(data, size, &header, &stream, &streamSize) != 0)
        return 0;
    size_t rowBytes = (size_t)header.width * 3;
    size_t stride = (rowBytes + 3) / 4 * 4;
    if (stride * header.height > MaxFuzzPixelBytes)
        return 0;
    // The stream in a block of its own, so that reading past it is caught.
    unsigned char* in = (unsigned char*)malloc(streamSize ? streamSize : 1);
    memcpy(in, stream, streamSize);
    unsigned char* out = (unsigned char*)malloc(stride * header.height);
    if (decodeRctStream(in, streamSize, header.width, header.height, out, (int32_t)stride) == 0 &&
        rowBytes * header.height <= MaxRoundTripPixelBytes) {
        std::vector<unsigned char> px;
        for (int32_t y = 0; y < header.height; ++y)
            px.insert(px.end(), out + stride * y, out + stride * y + rowBytes);
        std::vector<unsigned char> again = encodeRctStream(px.data(), header.width, header.height);
        std::vector<unsigned char> back(px.size());
        if (decodeRctStream(again.data(), again.size(), header.width, header.height, back.data(),
                            (int32_t)rowBytes) != 0 ||
            back != px)
            abort();
    }
    free(in);
    free(out);
    return 0;
}
