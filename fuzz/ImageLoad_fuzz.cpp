// Outside bytes as an encoded image (PNG or JPEG): through the image library stand-in
// (decode, check the delivered layout, resize) and through the engine's surface loading
// from memory into a 16-bit surface with an alpha plane.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "KorvelGraphics/KorvelSurface.h"
#include "PlatformImage.h"

namespace
{
void Check(bool bOk)
{
    if (!bOk)
        abort();
}

plat::img_lib_t Library()
{
    static plat::img_lib_t s_pLib = []
    {
        plat::img_lib_t pLib = nullptr;
        plat::img_lib_attach(&pLib);
        return pLib;
    }();
    return s_pLib;
}

void LoadSurface(const uint8_t* pData, size_t uSize)
{
    std::vector<uint8_t> aCopy(pData, pData + uSize);
    CKorvelSurface surface;
    SKE_SURFACEDESC desc = {0, 0, 0, KE_SURFACE_RGB565, 0, 0};
    const KE_RETVAL ret =
        surface.LoadFromMemory(nullptr, aCopy.data(), static_cast<unsigned int>(aCopy.size()), &desc);
    if (ret == KE_OK)
        Check(surface.GetWidth() > 0 && surface.GetHeight() > 0 && surface.GetAlphaChannel() != nullptr);
    else
        Check(surface.GetWidth() == 0);
    surface.Shutdown();
}

void DecodeAndResize(const uint8_t* pData, size_t uSize)
{
    using namespace plat;
    io_stream_t* pStream = io_open(IO_MEMORY, IO_READ, uSize, pData);
    if (!pStream)
        return;
    img_t img{};
    img.format = IMG_FMT_ARGB8888_LE;
    img.flags = IMG_FORMAT;
    const int iResult = img_load(Library(), pStream, nullptr, &img);
    io_close(pStream);
    if (iResult != IMG_ERR_OK)
    {
        Check(img.data == nullptr);
        return;
    }
    Check(img.data && img.w && img.h && img.w <= IMG_MAX_SIZE && img.h <= IMG_MAX_SIZE);
    Check(img.format == IMG_FMT_ARGB8888_LE);
    // Touch every byte, so a short buffer shows up under the address sanitizer.
    unsigned int uSum = 0;
    for (size_t i = 0, n = size_t(img.w) * img.h * 4; i < n; ++i)
        uSum += img.data[i];
    (void)uSum;
    if (size_t(img.w) * img.h <= 4096)
    {
        // One side shrinks, the other grows.
        img_t resized{img.w / 2 + 1, img.h * 2, 0, 0, nullptr};
        if (img_resize_fs(&img, &resized) == IMG_ERR_OK)
        {
            Check(resized.w == img.w / 2 + 1 && resized.h == img.h * 2);
            free(resized.data);
        }
    }
    free(img.data);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    DecodeAndResize(pData, uSize);
    LoadSurface(pData, uSize);
    return 0;
}
