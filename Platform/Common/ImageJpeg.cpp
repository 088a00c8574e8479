// JPEG decoding through libjpeg-turbo straight into B, G, R, A rows (alpha 255).
// Errors and the warnings that mean damaged or missing data end the decode: a
// truncated file would otherwise be padded out and reported as an image.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jerror.h>
#include <jpeglib.h>

#include "Platform/Common/ImageDecoders.h"

namespace plat
{

namespace
{

// Scans of a progressive file; far more than any encoder writes, few enough that
// crafted files cannot keep the decoder busy for long.
constexpr int MAX_SCANS = 1000;
// Working memory of the decompressor (coefficients of progressive files).
constexpr long MAX_WORK_MEMORY = 512L * 1024 * 1024;

struct sJPEG_ERROR
{
    jpeg_error_mgr m_Mgr;
    jmp_buf m_Jump;
};

[[noreturn]] void ErrorExit(j_common_ptr pInfo)
{
    longjmp(reinterpret_cast<sJPEG_ERROR*>(pInfo->err)->m_Jump, 1);
}

bool IsDamageWarning(int iCode)
{
    switch (iCode)
    {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
        return true;
    default:
        return false;
    }
}

void EmitMessage(j_common_ptr pInfo, int iLevel)
{
    // Trace messages are dropped; nothing is printed.
    if (iLevel < 0 && IsDamageWarning(pInfo->err->msg_code))
        ErrorExit(pInfo);
}

void OutputMessage(j_common_ptr) {}

void Progress(j_common_ptr pInfo)
{
    j_decompress_ptr pDecomp = reinterpret_cast<j_decompress_ptr>(pInfo);
    if (pDecomp->input_scan_number > MAX_SCANS)
        ErrorExit(pInfo);
}

// Everything the decode changes lives here: the error path reads it after a longjmp.
struct sJPEG_STATE
{
    jpeg_decompress_struct m_Info;
    sJPEG_ERROR m_Error;
    jpeg_progress_mgr m_Progress;
    unsigned char* volatile m_pPixels;
};

// Kept apart from the setjmp frame, so no local of that frame changes after setjmp.
int Decode(sJPEG_STATE& state, const unsigned char* pData, size_t size, img_t* pImg)
{
    jpeg_decompress_struct& info = state.m_Info;
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = MAX_WORK_MEMORY;
    info.progress = &state.m_Progress;
    jpeg_mem_src(&info, pData, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return IMG_ERR_CORRUPT;
    if (!IsImageSizeAccepted(info.image_width, info.image_height))
        return IMG_ERR_TOOBIG;
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    const size_t uStride = size_t(info.output_width) * 4;
    state.m_pPixels = static_cast<unsigned char*>(malloc(uStride * info.output_height));
    if (!state.m_pPixels)
        return IMG_ERR_MEM;
    while (info.output_scanline < info.output_height)
    {
        JSAMPROW pRow = state.m_pPixels + uStride * info.output_scanline;
        jpeg_read_scanlines(&info, &pRow, 1);
    }
    jpeg_finish_decompress(&info);
    pImg->w = info.output_width;
    pImg->h = info.output_height;
    pImg->data = state.m_pPixels;
    state.m_pPixels = nullptr;
    return IMG_ERR_OK;
}

} // namespace

bool IsJpeg(const unsigned char* pData, size_t size)
{
    return size >= 3 && pData[0] == 0xFF && pData[1] == 0xD8 && pData[2] == 0xFF;
}

int DecodeJpeg(const unsigned char* pData, size_t size, img_t* pImg)
{
    sJPEG_STATE state;
    state.m_pPixels = nullptr;
    state.m_Info.err = jpeg_std_error(&state.m_Error.m_Mgr);
    state.m_Error.m_Mgr.error_exit = ErrorExit;
    state.m_Error.m_Mgr.emit_message = EmitMessage;
    state.m_Error.m_Mgr.output_message = OutputMessage;
    state.m_Progress.progress_monitor = Progress;
    int iResult = IMG_ERR_CORRUPT;
    if (setjmp(state.m_Error.m_Jump) == 0)
        iResult = Decode(state, pData, size, pImg);
    free(state.m_pPixels);
    jpeg_destroy_decompress(&state.m_Info);
    return iResult;
}

} // namespace plat
