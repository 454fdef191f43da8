// A picture held as a 24-bit top-down DIB section: the decoder writes the
// pixels straight into its memory, and the main window draws from the same
// memory and header.
#pragma once
#include <windows.h>

struct ImageSurface {
    int width;
    int height;  // always positive; the header carries the top-down sign
    int stride;  // bytes per row: 3·width raised to a multiple of 4
    BITMAPINFOHEADER* bitmapInfo;
    unsigned char* bits;  // height rows of stride bytes, owned by bitmap
    HBITMAP bitmap;
};

// A new surface owned by the caller, or nullptr when memory or the DIB
// section could not be had (or the size makes no bitmap).
ImageSurface* createImageSurface(int width, int height);
// Accepts nullptr.
void freeImageSurface(ImageSurface* surface);
