#include "image/image_surface.h"

#include <stdlib.h>
#include <string.h>

#include "shell/report.h"

ImageSurface* createImageSurface(int width, int height)
{
    // Sizes whose stride or magnitude would not fit an int make no bitmap.
    if (width < 1 || width > (0x7FFFFFFF - 3) / 3 || height == 0 || height == (int)0x80000000)
        return nullptr;
    ImageSurface* surface = (ImageSurface*)allocOrReport(sizeof(ImageSurface));
    if (!surface)
        return nullptr;
    memset(surface, 0, sizeof *surface);
    surface->width = width;
    surface->height = height < 0 ? -height : height;
    surface->stride = (3 * width + 3) / 4 * 4;

    BITMAPINFOHEADER* header = (BITMAPINFOHEADER*)allocOrReport(sizeof(BITMAPINFOHEADER));
    if (!header) {
        free(surface);
        return nullptr;
    }
    memset(header, 0, sizeof *header);
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = -height;  // negative: the first row in memory is the top one
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    surface->bitmapInfo = header;

    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    surface->bitmap = CreateDIBSection(dc, (BITMAPINFO*)header, DIB_RGB_COLORS, &bits, nullptr, 0);
    surface->bits = (unsigned char*)bits;
    DeleteDC(dc);
    // Without pixel memory there is nothing to decode into or draw.
    if (!surface->bitmap || !surface->bits) {
        freeImageSurface(surface);
        return nullptr;
    }
    return surface;
}

void freeImageSurface(ImageSurface* surface)
{
    if (!surface)
        return;
    if (surface->bitmap)
        DeleteObject(surface->bitmap);
    free(surface->bitmapInfo);
    free(surface);
}
