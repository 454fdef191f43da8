// Draws examples/title.png, the title picture of the sample installation: a
// night sky over a hill with an observatory, stars, a crescent moon and the
// title in Mincho. Not part of the build; to draw it again:
//   g++ -O2 -I/usr/include/stb examples/make_title.cpp -o /tmp/make_title
//   /tmp/make_title examples/title.png 180
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

const char kFont[] = "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf";

struct Color {
    float r, g, b;
};

int g_size;
std::vector<Color> g_image;

Color mix(Color a, Color b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void blend(int x, int y, Color c, float alpha)
{
    if (x < 0 || y < 0 || x >= g_size || y >= g_size || alpha <= 0)
        return;
    Color& p = g_image[(size_t)y * g_size + x];
    p = mix(p, c, alpha > 1 ? 1 : alpha);
}

void add(int x, int y, Color c, float amount)
{
    if (x < 0 || y < 0 || x >= g_size || y >= g_size)
        return;
    Color& p = g_image[(size_t)y * g_size + x];
    p.r += c.r * amount;
    p.g += c.g * amount;
    p.b += c.b * amount;
}

float smooth(float edge0, float edge1, float x)
{
    float t = (x - edge0) / (edge1 - edge0);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return t * t * (3 - 2 * t);
}

float hillTop(float x)
{
    float s = (float)g_size;
    return s * 0.80f - s * 0.09f * expf(-powf((x - s * 0.20f) / (s * 0.28f), 2)) -
           s * 0.03f * sinf(x / s * 5.0f + 1.0f);
}

void drawSky()
{
    const Color top = {0.02f, 0.04f, 0.14f}, middle = {0.12f, 0.10f, 0.32f}, low = {0.62f, 0.32f, 0.42f};
    for (int y = 0; y < g_size; ++y) {
        float t = (float)y / g_size;
        Color c = t < 0.55f ? mix(top, middle, t / 0.55f) : mix(middle, low, (t - 0.55f) / 0.30f);
        for (int x = 0; x < g_size; ++x) {
            // A faint band of the Milky Way across the sky.
            float d = fabsf((x - g_size * 0.1f) * 0.55f - (y - g_size * 0.05f)) / g_size;
            float band = 0.10f * expf(-d * d * 90) * (0.7f + 0.3f * sinf(x * 0.37f + y * 0.11f));
            Color p = {c.r + band * 0.8f, c.g + band * 0.8f, c.b + band};
            g_image[(size_t)y * g_size + x] = p;
        }
    }
}

void drawStars()
{
    srand(7);
    for (int i = 0; i < g_size * 3 / 4; ++i) {
        int x = rand() % g_size, y = rand() % (g_size * 3 / 4);
        float bright = 0.25f + (rand() % 100) / 130.0f;
        Color c = (rand() % 4 == 0) ? Color{1.0f, 0.9f, 0.7f} : Color{0.85f, 0.9f, 1.0f};
        add(x, y, c, bright);
        if (bright > 0.85f) {
            // The brightest twinkle: a small cross of light.
            for (int k = 1; k <= 3; ++k) {
                float a = bright * 0.45f / k;
                add(x + k, y, c, a);
                add(x - k, y, c, a);
                add(x, y + k, c, a);
                add(x, y - k, c, a);
            }
        }
    }
}

void drawMoon()
{
    float s = (float)g_size, cx = s * 0.80f, cy = s * 0.18f, r = s * 0.075f;
    const Color moon = {1.0f, 0.95f, 0.75f};
    for (int y = 0; y < g_size; ++y) {
        for (int x = 0; x < g_size; ++x) {
            float d = hypotf(x - cx, y - cy);
            add(x, y, {0.5f, 0.45f, 0.3f}, 0.35f * expf(-(d - r) * (d - r) / (r * r * 1.5f)) * (d > r));
            float inside = smooth(r + 0.7f, r - 0.7f, d);
            float cut = smooth(r * 0.95f - 0.7f, r * 0.95f + 0.7f, hypotf(x - cx - r * 0.45f, y - cy + r * 0.2f));
            blend(x, y, moon, inside * cut);
        }
    }
}

void drawHill()
{
    float s = (float)g_size;
    const Color nearColor = {0.03f, 0.04f, 0.08f}, farColor = {0.10f, 0.10f, 0.20f};
    for (int x = 0; x < g_size; ++x) {
        float top = hillTop((float)x);
        for (int y = 0; y < g_size; ++y) {
            float cover = smooth(top - 0.6f, top + 0.6f, (float)y);
            blend(x, y, mix(farColor, nearColor, (y - top) / (s * 0.2f) > 1 ? 1 : (y - top) / (s * 0.2f)), cover);
        }
    }
    // The observatory on the hill: a dome on a small house, one lit window.
    float ox = s * 0.17f, base = hillTop(ox) + 1, w = s * 0.055f;
    const Color building = {0.02f, 0.02f, 0.05f}, light = {1.0f, 0.8f, 0.4f};
    for (int y = (int)(base - w * 2.2f); y <= (int)base; ++y) {
        for (int x = (int)(ox - w * 1.3f); x <= (int)(ox + w * 1.3f); ++x) {
            float dome = smooth(w + 0.6f, w - 0.6f, hypotf(x - ox, y - (base - w * 1.2f))) * (y <= base - w * 1.2f);
            float house = (fabsf(x - ox) <= w) && (y >= base - w * 1.2f);
            blend(x, y, building, dome > house ? dome : house);
            if (fabsf(x - ox - w * 0.35f) <= w * 0.18f && fabsf(y - (base - w * 0.6f)) <= w * 0.22f)
                blend(x, y, light, 1);
        }
    }
    for (int y = (int)(base - w * 2.2f); y < (int)base; ++y)
        for (int x = (int)(ox - w * 1.5f); x <= (int)(ox + w * 1.5f); ++x)
            add(x, y, light, 0.05f * expf(-hypotf(x - ox - w * 0.35f, y - base + w * 0.6f) / (w * 0.6f)));
}

// Decodes one UTF-8 character.
int nextCodepoint(const char*& p)
{
    unsigned char c = (unsigned char)*p++;
    if (c < 0x80)
        return c;
    int n = c >= 0xF0 ? 3 : (c >= 0xE0 ? 2 : 1);
    int cp = c & (0x3F >> n);
    while (n-- > 0)
        cp = (cp << 6) | (*p++ & 0x3F);
    return cp;
}

// Renders text centred at (cx, baseline) into a coverage mask of the image's size.
void textMask(const stbtt_fontinfo& font, const char* text, float height, float cx, float baseline,
              std::vector<float>& mask)
{
    float scale = stbtt_ScaleForPixelHeight(&font, height);
    float width = 0;
    for (const char* p = text; *p;) {
        int advance, bearing;
        stbtt_GetCodepointHMetrics(&font, nextCodepoint(p), &advance, &bearing);
        width += advance * scale;
    }
    float x = cx - width / 2;
    for (const char* p = text; *p;) {
        int cp = nextCodepoint(p);
        int advance, bearing, w, h, xo, yo;
        stbtt_GetCodepointHMetrics(&font, cp, &advance, &bearing);
        unsigned char* glyph = stbtt_GetCodepointBitmapSubpixel(&font, scale, scale, x - floorf(x), 0, cp, &w, &h,
                                                                 &xo, &yo);
        for (int gy = 0; gy < h; ++gy) {
            for (int gx = 0; gx < w; ++gx) {
                int px = (int)floorf(x) + xo + gx, py = (int)baseline + yo + gy;
                if (px >= 0 && py >= 0 && px < g_size && py < g_size) {
                    float& m = mask[(size_t)py * g_size + px];
                    m = fmaxf(m, glyph[gy * w + gx] / 255.0f);
                }
            }
        }
        stbtt_FreeBitmap(glyph, nullptr);
        x += advance * scale;
    }
}

std::vector<float> blurred(const std::vector<float>& mask, int radius)
{
    std::vector<float> a = mask, b(mask.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int horizontal = 0; horizontal < 2; ++horizontal) {
            for (int y = 0; y < g_size; ++y) {
                for (int x = 0; x < g_size; ++x) {
                    float sum = 0;
                    for (int k = -radius; k <= radius; ++k) {
                        int sx = horizontal ? x + k : x, sy = horizontal ? y : y + k;
                        if (sx >= 0 && sy >= 0 && sx < g_size && sy < g_size)
                            sum += a[(size_t)sy * g_size + sx];
                    }
                    b[(size_t)y * g_size + x] = sum / (2 * radius + 1);
                }
            }
            a.swap(b);
        }
    }
    return a;
}

void drawTitle()
{
    static std::vector<unsigned char> ttf(20 << 20);
    FILE* f = fopen(kFont, "rb");
    if (!f || fread(ttf.data(), 1, ttf.size(), f) == 0) {
        fprintf(stderr, "cannot read %s\n", kFont);
        exit(1);
    }
    fclose(f);
    stbtt_fontinfo font;
    stbtt_InitFont(&font, ttf.data(), stbtt_GetFontOffsetForIndex(ttf.data(), 0));

    float s = (float)g_size;
    std::vector<float> title(g_image.size()), sub(g_image.size());
    textMask(font, "星見の丘", s * 0.19f, s * 0.5f, s * 0.50f, title);
    textMask(font, "― 体験版 ―", s * 0.085f, s * 0.5f, s * 0.62f, sub);
    std::vector<float> glow = blurred(title, g_size / 60 + 1);
    for (size_t i = 0; i < g_image.size(); ++i) {
        int x = (int)(i % g_size), y = (int)(i / g_size);
        add(x, y, {0.35f, 0.45f, 0.9f}, glow[i] * 0.9f);
        blend(x + 1, y + 1, {0, 0, 0.05f}, title[i] * 0.6f);
    }
    for (size_t i = 0; i < g_image.size(); ++i) {
        int x = (int)(i % g_size), y = (int)(i / g_size);
        blend(x, y, mix({1, 1, 1}, {0.85f, 0.9f, 1.0f}, (float)y / g_size), title[i]);
        blend(x, y, {0.98f, 0.82f, 0.45f}, sub[i]);
    }
}

void drawFrame()
{
    const Color line = {0.75f, 0.65f, 0.4f};
    for (int i = 3; i < g_size - 3; ++i) {
        blend(i, 3, line, 0.5f);
        blend(i, g_size - 4, line, 0.5f);
        blend(3, i, line, 0.5f);
        blend(g_size - 4, i, line, 0.5f);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fputs("usage: make_title OUT.png [SIZE]\n", stderr);
        return 2;
    }
    g_size = argc > 2 ? atoi(argv[2]) : 180;
    g_image.assign((size_t)g_size * g_size, Color{0, 0, 0});
    drawSky();
    drawStars();
    drawMoon();
    drawHill();
    drawTitle();
    drawFrame();
    std::vector<unsigned char> rgb(g_image.size() * 3);
    for (size_t i = 0; i < g_image.size(); ++i) {
        const Color& c = g_image[i];
        rgb[i * 3] = (unsigned char)(fminf(fmaxf(c.r, 0), 1) * 255 + 0.5f);
        rgb[i * 3 + 1] = (unsigned char)(fminf(fmaxf(c.g, 0), 1) * 255 + 0.5f);
        rgb[i * 3 + 2] = (unsigned char)(fminf(fmaxf(c.b, 0), 1) * 255 + 0.5f);
    }
    return stbi_write_png(argv[1], g_size, g_size, 3, rgb.data(), g_size * 3) ? 0 : 1;
}
