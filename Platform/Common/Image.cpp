// The image library handle, memory streams and img_load, which picks the decoder by
// the data's signature.
#include "PlatformImage.h"

#include <cerrno>
#include <new>

#include "Platform/Common/CallLog.h"
#include "Platform/Common/ImageDecoders.h"

namespace plat
{

struct _img_lib
{
    int m_iUnused;
};

struct _io_stream
{
    const unsigned char* m_pData;
    size_t m_uSize;
    size_t m_uPos;
};

int img_lib_attach(img_lib_t* pLib)
{
    if (RecordCall("img_lib_attach"))
    {
        if (pLib)
            *pLib = nullptr;
        return EIO;
    }
    if (!pLib)
        return EINVAL;
    *pLib = new _img_lib{0};
    return IMG_ERR_OK;
}

void img_lib_detach(img_lib_t lib)
{
    RecordCall("img_lib_detach");
    delete lib;
}

// Streams and decoding are not logged (decoding runs per image, and fuzzing runs it
// millions of times), but they can still be made to fail.
io_stream_t* io_open(io_source_t eSource, io_mode_t eMode, size_t size, const void* pBuffer)
{
    if (ShouldFail("io_open"))
        return nullptr;
    if (eSource != IO_MEMORY || eMode != IO_READ || (!pBuffer && size))
        return nullptr;
    return new (std::nothrow) _io_stream{static_cast<const unsigned char*>(pBuffer), size, 0};
}

void io_close(io_stream_t* pStream)
{
    delete pStream;
}

int img_load(img_lib_t lib, io_stream_t* pStream, const void* pDecodeOptions, img_t* pImg)
{
    if (!pImg)
        return IMG_ERR_PARM;
    pImg->data = nullptr;
    if (!lib || !pStream || pDecodeOptions)
        return IMG_ERR_PARM;
    if ((pImg->flags & IMG_FORMAT) && pImg->format != IMG_FMT_ARGB8888_LE)
        return IMG_ERR_FORMAT;
    if (ShouldFail("img_load"))
        return IMG_ERR_CORRUPT;

    const unsigned char* pData = pStream->m_pData + pStream->m_uPos;
    const size_t size = pStream->m_uSize - pStream->m_uPos;
    int iResult = IMG_ERR_NOTIMPL;
    if (IsPng(pData, size))
        iResult = DecodePng(pData, size, pImg);
    else if (IsJpeg(pData, size))
        iResult = DecodeJpeg(pData, size, pImg);
    pStream->m_uPos = pStream->m_uSize;
    if (iResult != IMG_ERR_OK)
        return iResult;
    pImg->format = IMG_FMT_ARGB8888_LE;
    pImg->flags |= IMG_FORMAT;
    return IMG_ERR_OK;
}

} // namespace plat
