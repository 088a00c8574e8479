// Decoders behind img_load. Each reads one encoded image from a memory block and
// fills w, h and data (malloc, rows of w x 4 bytes B, G, R, A, not premultiplied).
#pragma once

#include "PlatformImage.h"

namespace plat
{

bool IsPng(const unsigned char* pData, size_t size);
bool IsJpeg(const unsigned char* pData, size_t size);

int DecodePng(const unsigned char* pData, size_t size, img_t* pImg);
int DecodeJpeg(const unsigned char* pData, size_t size, img_t* pImg);

// The size check every decoder makes before it allocates pixels.
inline bool IsImageSizeAccepted(unsigned long long w, unsigned long long h)
{
    return w > 0 && h > 0 && w <= IMG_MAX_SIZE && h <= IMG_MAX_SIZE;
}

} // namespace plat
