#include "image/rct_image.h"

#include <stdio.h>
#include <stdlib.h>

#include "image/rct_decode.h"
#include "resfile/resource_opener.h"
#include "shell/report.h"

namespace {

// A file that is being replaced while it is read may come up short once or
// twice; one that stays short is truncated for good and shows no picture.
const int ReadAttempts = 3;

enum ReadResult { ReadWhole, ReadShort, ReadNoPicture };

// Reads header, name and stream from an open file into a new buffer.
ReadResult readRctStream(FILE* file, RctHeader* header, unsigned char** stream, size_t* size)
{
    unsigned char head[RctHeaderSize];
    if (fread(head, 1, sizeof head, file) != sizeof head)
        return ReadShort;
    if (parseRctHeader(head, header) != 0)
        return ReadNoPicture;
    uint32_t pixelBytes = rctPixelBytes(header->width, header->height);
    if (pixelBytes == 0 || header->dataSize < 3)
        return ReadNoPicture;
    if (header->named) {
        unsigned char length[2];
        if (fread(length, 1, 2, file) != 2 || fseek(file, length[0] | length[1] << 8, SEEK_CUR) != 0)
            return ReadShort;
    }
    // Only the part of the stream a decoder can reach is held.
    *size = rctUsefulStreamBytes(header->dataSize, pixelBytes);
    *stream = (unsigned char*)allocOrReport(*size);
    if (!*stream)
        return ReadNoPicture;
    if (fread(*stream, 1, *size, file) != *size) {
        free(*stream);
        return ReadShort;
    }
    return ReadWhole;
}

}  // namespace

ImageSurface* loadRctImage(const char* name)
{
    for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
        FILE* file = openResourceFile(name, "rb");
        RctHeader header;
        unsigned char* stream;
        size_t size;
        ReadResult read = readRctStream(file, &header, &stream, &size);
        fclose(file);
        if (read == ReadShort)
            continue;
        if (read == ReadNoPicture)
            return nullptr;
        ImageSurface* surface = createImageSurface(header.width, header.height);
        if (surface && decodeRctStream(stream, size, header.width, header.height, surface->bits,
                                       surface->stride) != 0) {
            freeImageSurface(surface);
            surface = nullptr;
        }
        free(stream);
        return surface;
    }
    return nullptr;
}
