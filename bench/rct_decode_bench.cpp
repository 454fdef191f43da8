// Decoding speed of full-HD pictures of three kinds, against a plain memcpy
// of the same output size.
#include <benchmark/benchmark.h>

#include <string.h>

#include <random>
#include <vector>

#include "image/rct_decode.h"
#include "image/rct_encode.h"

namespace {

using Bytes = std::vector<unsigned char>;

const int W = 1920;
const int H = 1080;
const size_t PixelBytes = (size_t)W * H * 3;

void fill(Bytes& px, int x0, int y0, int x1, int y1, unsigned rgb)
{
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            unsigned char* p = &px[((size_t)y * W + x) * 3];
            p[0] = (unsigned char)rgb;
            p[1] = (unsigned char)(rgb >> 8);
            p[2] = (unsigned char)(rgb >> 16);
        }
    }
}

// Flat areas and smooth gradients: long copies from the left and from above.
Bytes copyHeavy()
{
    Bytes px(PixelBytes);
    for (int y = 0; y < 360; ++y)
        fill(px, 0, y, W, y + 1, (unsigned)(y * 255 / 360) << 8 | 0x40);
    for (int x = 0; x < W; ++x)
        fill(px, x, 360, x + 1, 720, (unsigned)(x * 255 / W) << 16 | 0x2080);
    fill(px, 0, 720, W, H, 0xE0E0E0);
    for (int i = 0; i < 12; ++i)
        fill(px, 100 + i * 150, 760, 200 + i * 150, 1040, 0x102030u * (i + 1));
    return px;
}

// Camera noise: next to nothing repeats.
Bytes literalHeavy()
{
    std::mt19937 rng(1);
    Bytes px(PixelBytes);
    for (unsigned char& b : px)
        b = (unsigned char)rng();
    return px;
}

// A window: title bar gradient, panels, buttons, lines of small glyphs, an
// icon of noise.
Bytes uiLike()
{
    std::mt19937 rng(2);
    Bytes px(PixelBytes);
    fill(px, 0, 0, W, H, 0xF0F0F0);
    for (int x = 0; x < W; ++x)
        fill(px, x, 0, x + 1, 32, 0x0040A0u + (unsigned)(x * 96 / W));
    fill(px, 20, 60, 1300, 1060, 0xFFFFFF);
    fill(px, 1320, 60, 1900, 700, 0xE8E8F0);
    for (int b = 0; b < 6; ++b)
        fill(px, 1360, 740 + b * 50, 1860, 780 + b * 50, 0xD0D4DC);
    // Glyphs of 5 × 7 dots, 7 pixels apart, 16-pixel lines.
    unsigned char glyphs[64][7];
    for (auto& g : glyphs)
        for (unsigned char& row : g)
            row = (unsigned char)(rng() & 0x1F);
    for (int line = 0; line < 60; ++line) {
        int y = 80 + line * 16;
        int chars = 40 + (int)(rng() % 130);
        for (int c = 0; c < chars; ++c) {
            if (rng() % 7 == 0)
                continue;  // a space
            const unsigned char* g = glyphs[rng() % 64];
            for (int dy = 0; dy < 7; ++dy)
                for (int dx = 0; dx < 5; ++dx)
                    if (g[dy] >> dx & 1)
                        fill(px, 40 + c * 7 + dx, y + dy, 41 + c * 7 + dx, y + dy + 1, 0x202020);
        }
    }
    for (int y = 100; y < 164; ++y)
        for (int x = 1340; x < 1404; ++x)
            fill(px, x, y, x + 1, y + 1, rng() & 0xFFFFFF);
    return px;
}

void decodeBench(benchmark::State& state, const Bytes& picture)
{
    Bytes stream = encodeRctStream(picture.data(), W, H);
    Bytes out(PixelBytes);
    for (auto _ : state) {
        if (decodeRctStream(stream.data(), stream.size(), W, H, out.data(), W * 3) != 0)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    if (out != picture)
        state.SkipWithError("decoded pixels differ");
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)PixelBytes);
    state.counters["stream_bytes"] = (double)stream.size();
}

void BM_DecodeCopyHeavy(benchmark::State& state)
{
    static const Bytes picture = copyHeavy();
    decodeBench(state, picture);
}

void BM_DecodeLiteralHeavy(benchmark::State& state)
{
    static const Bytes picture = literalHeavy();
    decodeBench(state, picture);
}

void BM_DecodeMixed(benchmark::State& state)
{
    static const Bytes picture = uiLike();
    decodeBench(state, picture);
}

void BM_Memcpy(benchmark::State& state)
{
    Bytes in(PixelBytes, 0x5A);
    Bytes out(PixelBytes);
    for (auto _ : state) {
        memcpy(out.data(), in.data(), PixelBytes);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)PixelBytes);
}

}  // namespace

BENCHMARK(BM_DecodeCopyHeavy);
BENCHMARK(BM_DecodeLiteralHeavy);
BENCHMARK(BM_DecodeMixed);
BENCHMARK(BM_Memcpy);

BENCHMARK_MAIN();
