// Writes RCT pictures: for the conversion tool, the tests and the
// benchmarks. The program itself only reads them.
#pragma once
#include <stddef.h>

#include <vector>

// The compressed stream of a width × height picture whose pixels are given
// as 3 bytes each (blue, green, red), rows of exactly 3·width bytes, top row
// first. Greedy: at each pixel the longest copy over the 32 sources wins,
// and pixels no source repeats gather into literal runs.
std::vector<unsigned char> encodeRctStream(const unsigned char* pixels, int width, int height);

// A whole file: "六丁TC01" with the name when one is given (at most 65,535
// bytes are kept), else "六丁TC00"; then the stream.
std::vector<unsigned char> encodeRctFile(const unsigned char* pixels, int width, int height,
                                         const char* name = nullptr);
