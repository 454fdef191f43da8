// Loads an RCT picture file into a new image surface.
#pragma once
#include "image/image_surface.h"

// The picture in name (opened through the resource opener, whose retry box
// keeps asking while the file does not open), or nullptr when the file is
// not an RCT picture, is damaged, or stays short over a few reads. The
// caller frees the surface with freeImageSurface.
ImageSurface* loadRctImage(const char* name);
