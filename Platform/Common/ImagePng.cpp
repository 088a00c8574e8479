// PNG decoding through libpng: every colour type and bit depth is expanded to 8-bit
// B, G, R, A rows, not premultiplied. Sample values are kept as stored (16-bit samples
// are scaled to 8 bits, no gamma is applied), as for JPEG images.
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <png.h>

#include "Platform/Common/ImageDecoders.h"

namespace plat
{

namespace
{

struct sPNG_SOURCE
{
    const unsigned char* m_pData;
    size_t m_uSize;
    size_t m_uPos;
};

// Everything the decode changes lives here: the error path reads it after a longjmp.
struct sPNG_STATE
{
    png_structp m_pPng;
    png_infop m_pInfo;
    sPNG_SOURCE m_Source;
    unsigned char* volatile m_pPixels;
};

void ReadBytes(png_structp pPng, png_bytep pOut, png_size_t uCount)
{
    sPNG_SOURCE* pSource = static_cast<sPNG_SOURCE*>(png_get_io_ptr(pPng));
    if (uCount > pSource->m_uSize - pSource->m_uPos)
        png_error(pPng, "truncated");
    memcpy(pOut, pSource->m_pData + pSource->m_uPos, uCount);
    pSource->m_uPos += uCount;
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Silent: a bad image is reported by the result alone.
[[noreturn]] void ErrorExit(png_structp pPng, png_const_charp)
{
    png_longjmp(pPng, 1);
}

// Kept apart from the setjmp frame, so no local of that frame changes after setjmp.
int Decode(sPNG_STATE& state, img_t* pImg)
{
    png_structp pPng = state.m_pPng;
    png_infop pInfo = state.m_pInfo;
    png_set_read_fn(pPng, &state.m_Source, ReadBytes);
    png_read_info(pPng, pInfo);
    const png_uint_32 uWidth = png_get_image_width(pPng, pInfo);
    const png_uint_32 uHeight = png_get_image_height(pPng, pInfo);
    if (!IsImageSizeAccepted(uWidth, uHeight))
        return IMG_ERR_TOOBIG;

    const int iColorType = png_get_color_type(pPng, pInfo);
    png_set_expand(pPng); // palette to RGB, low-bit grey to 8 bits, tRNS to alpha
    png_set_scale_16(pPng);
    if (!(iColorType & PNG_COLOR_MASK_COLOR))
        png_set_gray_to_rgb(pPng);
    if (!(iColorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(pPng, pInfo, PNG_INFO_tRNS))
        png_set_add_alpha(pPng, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(pPng);
    const int iPasses = png_set_interlace_handling(pPng);
    png_read_update_info(pPng, pInfo);
    const size_t uStride = size_t(uWidth) * 4;
    if (png_get_rowbytes(pPng, pInfo) != uStride)
        return IMG_ERR_FORMAT;

    state.m_pPixels = static_cast<unsigned char*>(malloc(uStride * uHeight));
    if (!state.m_pPixels)
        return IMG_ERR_MEM;
    for (int iPass = 0; iPass < iPasses; ++iPass)
        for (png_uint_32 y = 0; y < uHeight; ++y)
            png_read_row(pPng, state.m_pPixels + uStride * y, nullptr);
    // Reads the chunks after the image data too, so a cut-off file is not taken as whole.
    png_read_end(pPng, nullptr);
    pImg->w = uWidth;
    pImg->h = uHeight;
    pImg->data = state.m_pPixels;
    state.m_pPixels = nullptr;
    return IMG_ERR_OK;
}

} // namespace

bool IsPng(const unsigned char* pData, size_t size)
{
    return size >= 8 && png_sig_cmp(pData, 0, 8) == 0;
}

int DecodePng(const unsigned char* pData, size_t size, img_t* pImg)
{
    sPNG_STATE state;
    state.m_pPng = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorExit, IgnoreWarning);
    state.m_pInfo = state.m_pPng ? png_create_info_struct(state.m_pPng) : nullptr;
    state.m_Source = {pData, size, 0};
    state.m_pPixels = nullptr;
    if (!state.m_pInfo)
    {
        png_destroy_read_struct(&state.m_pPng, nullptr, nullptr);
        return IMG_ERR_MEM;
    }
    int iResult = IMG_ERR_CORRUPT;
    if (setjmp(png_jmpbuf(state.m_pPng)) == 0)
        iResult = Decode(state, pImg);
    free(state.m_pPixels);
    png_destroy_read_struct(&state.m_pPng, &state.m_pInfo, nullptr);
    return iResult;
}

} // namespace plat
