// The RCT picture format: a 20-byte header, in "六丁TC01" files a skipped
// name, then a byte stream of literal pixel runs and copies of pixels
// already decoded. Portable, so that the tools, the tests and the fuzzer run
// the very decoder the program uses.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum { RctHeaderSize = 20 };

// Larger pictures are refused before anything is allocated: 256 MiB of
// decoded pixels (about 89 million) is far beyond any title picture, keeps
// every size and offset well inside 32 bits, and bounds what a damaged
// header can make the program ask for.
const uint32_t RctMaxPixelBytes = 1u << 28;

struct RctHeader {
    int32_t width;
    int32_t height;
    uint32_t dataSize;  // S, the bytes of the compressed stream
    int named;          // 1 for "六丁TC01": a 16-bit length and a name follow
};

// 0 and the fields filled when the first 20 bytes carry one of the two
// magics, -1 otherwise.
int parseRctHeader(const unsigned char* bytes, RctHeader* header);

// Offset in pixels of copy source k (0 to 31) in a picture width pixels
// wide: negative is behind the next pixel.
int64_t rctCopyOffset(int k, int32_t width);

// 3·W·H, or 0 when W or H is below 1 or the picture exceeds RctMaxPixelBytes.
uint32_t rctPixelBytes(int32_t width, int32_t height);

// How much of a stream of dataSize bytes can matter: no code writes less
// than one pixel per byte after pixel 0 and its 3 bytes. Bytes beyond this
// are never decoded, so a reader need not hold them.
uint32_t rctUsefulStreamBytes(uint32_t dataSize, uint32_t pixelBytes);

// Splits a whole file held in memory: 0 with the header filled and the
// stream (its useful part, as above) located; -1 for a wrong magic, a
// picture size out of range or a file that ends before that part does.
int splitRctFile(const unsigned char* file, size_t size, RctHeader* header,
                 const unsigned char** stream, size_t* streamSize);

// Decodes a stream into pixels, which must hold height rows of stride bytes
// (stride >= 3·width), top row first, 3 bytes a pixel as stored. 0 when the
// picture came out whole; -1 for a stream that is malformed in any way (a
// copy from before pixel 0 or from an offset that is not behind, a count
// past the picture's end, a stream ending early, sizes out of range). Never
// reads outside the stream nor writes outside height·stride bytes.
int decodeRctStream(const unsigned char* stream, size_t streamSize, int32_t width, int32_t height,
                    unsigned char* pixels, int32_t stride);
