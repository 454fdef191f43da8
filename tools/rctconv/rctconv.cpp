// rctconv: makes, unpacks and describes RCT title pictures.
//   rctconv encode IN.(png|bmp|jpg|tga) OUT.rct [--name TEXT]
//   rctconv decode IN.rct OUT.(png|bmp)
//   rctconv info IN.rct
//   rctconv --version
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#include <stb_image.h>
#include <stb_image_write.h>

#include "image/rct_decode.h"
#include "image/rct_encode.h"
#include "version.h"

namespace {

using Bytes = std::vector<unsigned char>;

int usage()
{
    fputs("usage: rctconv encode IN.(png|bmp|jpg|tga) OUT.rct [--name TEXT]\n"
          "       rctconv decode IN.rct OUT.(png|bmp)\n"
          "       rctconv info IN.rct\n"
          "       rctconv --version\n",
          stderr);
    return 2;
}

int fail(const char* what, const char* path)
{
    fprintf(stderr, "rctconv: %s: %s\n", path, what);
    return 1;
}

bool endsWith(const char* s, const char* tail)
{
    size_t n = strlen(s), m = strlen(tail);
    if (n < m)
        return false;
    for (size_t i = 0; i < m; ++i) {
        char c = s[n - m + i];
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (c != tail[i])
            return false;
    }
    return true;
}

bool readFile(const char* path, Bytes* data)
{
    FILE* f = fopen(path, "rb");
    if (!f)
        return false;
    unsigned char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        data->insert(data->end(), chunk, chunk + n);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

bool writeFile(const char* path, const Bytes& data)
{
    FILE* f = fopen(path, "wb");
    if (!f)
        return false;
    bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

// Pictures keep their pixels as blue, green, red; image files as red,
// green, blue. The same swap goes either way.
void swapRedBlue(unsigned char* px, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        unsigned char t = px[i * 3];
        px[i * 3] = px[i * 3 + 2];
        px[i * 3 + 2] = t;
    }
}

// A whole RCT file with its decoded pixels.
struct RctPicture {
    Bytes file;
    RctHeader header;
    Bytes pixels;  // blue, green, red; rows of 3·width bytes
};

// Reads, splits and decodes an RCT file; reports why when it cannot.
bool loadRct(const char* path, RctPicture* picture)
{
    RctHeader& header = picture->header;
    Bytes& file = picture->file;
    if (!readFile(path, &file)) {
        fail("cannot read the file", path);
        return false;
    }
    if (file.size() < RctHeaderSize || parseRctHeader(file.data(), &header) != 0) {
        fail("not an RCT picture (no RCT magic)", path);
        return false;
    }
    if (rctPixelBytes(header.width, header.height) == 0) {
        fprintf(stderr, "rctconv: %s: picture size %d x %d is out of range\n", path,
                (int)header.width, (int)header.height);
        return false;
    }
    const unsigned char* stream;
    size_t streamSize;
    if (splitRctFile(file.data(), file.size(), &header, &stream, &streamSize) != 0) {
        fail("the file ends before its stream does", path);
        return false;
    }
    picture->pixels.resize((size_t)header.width * header.height * 3);
    if (decodeRctStream(stream, streamSize, header.width, header.height, picture->pixels.data(),
                        header.width * 3) != 0) {
        fail("the compressed stream is damaged", path);
        return false;
    }
    return true;
}

int encode(int argc, char** argv)
{
    const char* in = argv[2];
    const char* out = argv[3];
    const char* name = nullptr;
    for (int i = 4; i < argc; ++i) {
        if (strcmp(argv[i], "--name") == 0 && i + 1 < argc)
            name = argv[++i];
        else
            return usage();
    }
    if (name && strlen(name) > 65535)
        return fail("the name is longer than 65,535 bytes", in);
    int w, h, channels;
    unsigned char* px = stbi_load(in, &w, &h, &channels, 3);
    if (!px) {
        fprintf(stderr, "rctconv: %s: cannot load the image (%s)\n", in, stbi_failure_reason());
        return 1;
    }
    if (rctPixelBytes(w, h) == 0) {
        stbi_image_free(px);
        return fail("the image is too large for an RCT picture", in);
    }
    swapRedBlue(px, (size_t)w * h);
    Bytes file = encodeRctFile(px, w, h, name);
    stbi_image_free(px);
    if (!writeFile(out, file))
        return fail("cannot write the file", out);
    return 0;
}

int decode(const char* in, const char* out)
{
    bool png = endsWith(out, ".png");
    if (!png && !endsWith(out, ".bmp"))
        return fail("the output must end in .png or .bmp", out);
    RctPicture picture;
    if (!loadRct(in, &picture))
        return 1;
    int w = picture.header.width, h = picture.header.height;
    Bytes& px = picture.pixels;
    swapRedBlue(px.data(), (size_t)w * h);
    int written = png ? stbi_write_png(out, w, h, 3, px.data(), w * 3)
                      : stbi_write_bmp(out, w, h, 3, px.data());
    if (!written)
        return fail("cannot write the image", out);
    return 0;
}

int info(const char* in)
{
    RctPicture picture;
    if (!loadRct(in, &picture))
        return 1;
    const RctHeader& header = picture.header;
    const Bytes& file = picture.file;
    printf("magic:  %s\n", header.named ? "TC01" : "TC00");
    printf("size:   %d x %d\n", (int)header.width, (int)header.height);
    printf("stream: %u bytes\n", (unsigned)header.dataSize);
    if (header.named) {
        size_t length = file[20] | (size_t)file[21] << 8;
        std::string name((const char*)file.data() + 22, length);
        printf("name:   %u bytes: %s\n", (unsigned)length, name.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && strcmp(argv[1], "encode") == 0)
        return encode(argc, argv);
    if (argc == 4 && strcmp(argv[1], "decode") == 0)
        return decode(argv[2], argv[3]);
    if (argc == 3 && strcmp(argv[1], "info") == 0)
        return info(argv[2]);
    if (argc == 2 && strcmp(argv[1], "--version") == 0)
        return printf("rctconv %s\n", UNINST_VERSION) < 0;
    return usage();
}
